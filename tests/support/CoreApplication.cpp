// Gives a test binary the QCoreApplication its event loop needs, for the whole run.
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class CoreApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { application_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "dewlight-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> application_;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

} // namespace
