#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>
#include <memory>

// The one Qt application of a test binary: made before the first test, ended after the last.
// A binary gets it by building one of the two kinds beside it: CoreApplication.cpp, or
// GuiApplication.cpp for fonts, painting and widgets.
namespace DewlightTest {

template <class Application> class ApplicationEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { application_ = std::make_unique<Application>(argc_, argv_); }
    void TearDown() override {
        // Objects released with deleteLater() go while Qt's own globals still exist.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        application_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "dewlight-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<Application> application_;
};

template <class Application> bool addApplication() {
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment<Application>);
    return true;
}

} // namespace DewlightTest
