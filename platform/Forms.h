#pragma once

#include "platform/FormBase.h"

#include <functional>
#include <map>
#include <memory>
#include <typeindex>
#include <vector>

// The window registry: one instance of each window class at a time.
class Forms {
  public:
    static Forms& instance();

    // The loaded instance of T, loading it (hidden) first when needed.
    template <class T> T& get() {
        if (FormBase* loaded = find(typeid(T))) return static_cast<T&>(*loaded);
        return static_cast<T&>(load(typeid(T), [] { return new T; }));
    }
    template <class T> bool isLoaded() const { return find(typeid(T)) != nullptr; }

    // Unloads a window (its close box): it is hidden now and destroyed once no
    // handler is waiting any more, since one of its own may still be inside a pause.
    void unload(FormBase* form);
    // Destroys every window, for the end of a test.
    void clear();
    // Destroys the unloaded windows that no handler can still be running in.
    void reap();

  private:
    void scheduleReap();
    FormBase* find(const std::type_index& type) const;
    FormBase& load(const std::type_index& type, const std::function<FormBase*()>& make);

    std::map<std::type_index, FormBase*> loaded_;
    std::vector<std::unique_ptr<FormBase>> unloaded_;
};

// Shorthand used throughout: form<Form3>().Show() ...
template <class T> T& form() {
    return Forms::instance().get<T>();
}

// Shows a window, loading it first when needed.
template <class T> void showForm() {
    form<T>().Show();
}
