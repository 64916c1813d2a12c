// Gives a test binary the QGuiApplication its event loop needs, for the whole run.
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class GuiApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { application_ = std::make_unique<QGuiApplication>(argc_, argv_); }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "dewlight-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

} // namespace
