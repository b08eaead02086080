#include "core/forms.h"

#include "core/playerstate.h"

namespace Forms
{

namespace detail
{
std::unordered_map<std::type_index, QPointer<QObject>> &instances()
{
    static std::unordered_map<std::type_index, QPointer<QObject>> map;
    return map;
}
PlayerState &state()
{
    static PlayerState state;
    return state;
}
} // namespace detail

void unloadAll()
{
    detail::state() = PlayerState();
    auto map = std::move(detail::instances());
    detail::instances().clear();
    for (auto &[type, instance] : map)
        delete instance.data();
}

} // namespace Forms

PlayerState &playerState()
{
    return Forms::detail::state();
}
