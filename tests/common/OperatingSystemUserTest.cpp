#include "OperatingSystemUser.h"

#include <cstdlib>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>

namespace kqvdr {
namespace {

// The variables are restored afterwards: other tests in this program read them.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        ::setenv(name, value, 1);
    }
    ~EnvironmentVariable() {
        if (had_) {
            ::setenv(name_, old_.c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(OperatingSystemUser, IsTheEffectiveAccountWhateverTheEnvironmentClaims) {
    const passwd* account = ::getpwuid(::geteuid());
    ASSERT_NE(account, nullptr);
    for (const char* claimed : {"mallory", ""}) {
        SCOPED_TRACE(claimed);
        EnvironmentVariable user("USER", claimed);
        EnvironmentVariable userName("USERNAME", claimed);
        EnvironmentVariable logName("LOGNAME", claimed);
        EXPECT_EQ(operatingSystemUser(), account->pw_name);
    }
}

} // namespace
} // namespace kqvdr
#endif
