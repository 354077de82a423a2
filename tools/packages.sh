# The Debian 12 packages the console is built and drawn with, for the scripts
# that build it (sourced). The fonts are the free faces drawn in place of the
# faces the windows name (see "Fonts" in the README); the tests measure every
# caption in them.
console_packages=(cmake make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libsqlite3-dev
                  fonts-liberation fonts-urw-base35 fonts-ebgaramond)
# What the tests need besides: the compiler, GoogleTest, a virtual desktop
# (display, window manager, keyboard and mouse input) with the accessibility
# bus and a reader of it, for reading the windows as a screen reader does, and
# gammu and socat (gammu reads the simulated modem through a pseudo-terminal
# socat makes).
test_packages=(g++ libgtest-dev libgmock-dev xvfb xdotool openbox dbus-daemon at-spi2-core
               python3-gi gir1.2-atspi-2.0 gammu socat)
