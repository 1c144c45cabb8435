#include "FilePermissions.h"

#include <sys/fsuid.h>
#include <unistd.h>

namespace zorim::test {
namespace {
constexpr unsigned kNobody = 65534;
}

// The file-system ids of a thread decide its file access; leaving root for them also drops
// root's power to ignore permissions, and returning restores it.
AsOrdinaryUser::AsOrdinaryUser()
{
    if (::geteuid() != 0)
        return;
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
    switched_ = true;
    effective_ = static_cast<unsigned>(::setfsuid(static_cast<uid_t>(-1))) == kNobody;
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (!switched_)
        return;
    ::setfsuid(0);
    ::setfsgid(0);
}

} // namespace zorim::test
