#pragma once
// A resource limit of the process (setrlimit) lowered for the scope of the object.
#include <sys/resource.h>

namespace zorim::test {

class ResourceLimit {
public:
    ResourceLimit(int resource, rlim_t value) : resource_(resource)
    {
        getrlimit(resource_, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = value;
        setrlimit(resource_, &lowered);
    }
    ~ResourceLimit() { setrlimit(resource_, &saved_); }
    ResourceLimit(const ResourceLimit&) = delete;
    ResourceLimit& operator=(const ResourceLimit&) = delete;

private:
    int resource_;
    rlimit saved_{};
};

} // namespace zorim::test
