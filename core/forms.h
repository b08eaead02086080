#pragma once

#include <QObject>
#include <QPointer>

#include <typeindex>
#include <unordered_map>

struct PlayerState;

// The form registry: every window is one instance, created on first
// reference with its load step and kept until it is unloaded (or destroyed,
// for example by a window that deletes itself on close). The message window
// BOX is not kept here: it is one new instance per message.
namespace Forms
{

namespace detail
{
std::unordered_map<std::type_index, QPointer<QObject>> &instances();
PlayerState &state();
} // namespace detail

template <typename T> bool isLoaded()
{
    auto &map = detail::instances();
    auto it = map.find(std::type_index(typeid(T)));
    return it != map.end() && !it->second.isNull();
}

// Returns the window, creating it hidden and running its Form_Load on first
// reference. The instance is registered before its load step runs, so a load
// step that refers to its own window gets this instance, not a second one.
template <typename T> T *form()
{
    auto &slot = detail::instances()[std::type_index(typeid(T))];
    if (slot)
        return static_cast<T *>(slot.data());
    auto *instance = new T();
    slot = instance;
    if constexpr (requires(T & t) { t.Form_Load(); })
        instance->Form_Load();
    return instance;
}

template <typename T> void unload()
{
    auto &map = detail::instances();
    auto it = map.find(std::type_index(typeid(T)));
    if (it == map.end())
        return;
    QPointer<QObject> instance = it->second;
    map.erase(it);
    delete instance.data();
}

// Destroys every loaded window and starts the program's state afresh; used
// when the program ends and by tests.
void unloadAll();

} // namespace Forms

template <typename T> T *form()
{
    return Forms::form<T>();
}
template <typename T> void unload()
{
    Forms::unload<T>();
}
template <typename T> bool isLoaded()
{
    return Forms::isLoaded<T>();
}
