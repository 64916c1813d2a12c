#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The application object the tests' event loops need, made before the first test and destroyed
// after the last one, while Qt's own globals still exist.
class QtApplication final : public ::testing::Environment {
public:
    void SetUp() override { application_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        application_.reset();
    }

private:
    int argc_ = 1;
    char name_[15] = "dewlight-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

} // namespace
