# The Debian 12 packages the console is built and drawn with, for the scripts
# that build it (sourced). The fonts are the free faces drawn in place of the
# faces the windows name (see "Fonts" in the README); the tests measure every
# caption in them.
console_packages=(cmake make qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libsqlite3-dev
                  fonts-liberation fonts-urw-base35 fonts-ebgaramond)
