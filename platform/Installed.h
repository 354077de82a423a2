#pragma once

#include <memory>
#include <utility>

// The one implementation of a service the whole program uses: the production
// one unless another has been installed (as tests do).
template <class Interface, class Production> class Installed {
  public:
    static Interface& get() {
        auto& current = slot();
        if (!current) current = std::make_unique<Production>();
        return *current;
    }
    // Installs `next`; returns the one it replaces.
    static std::unique_ptr<Interface> install(std::unique_ptr<Interface> next) {
        std::swap(slot(), next);
        return next;
    }

  private:
    static std::unique_ptr<Interface>& slot() {
        static std::unique_ptr<Interface> current;
        return current;
    }
};
