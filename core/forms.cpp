#include "core/forms.h"

namespace Forms
{

namespace detail
{
std::unordered_map<std::type_index, QPointer<QObject>> &instances()
{
    static std::unordered_map<std::type_index, QPointer<QObject>> map;
    return map;
}
} // namespace detail

void unloadAll()
{
    auto map = std::move(detail::instances());
    detail::instances().clear();
    for (auto &[type, instance] : map)
        delete instance.data();
}

} // namespace Forms
