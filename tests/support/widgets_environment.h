#pragma once
// One QApplication for a test binary whose tests need widgets, made before the
// first test and deleted after the last (the offscreen platform by default).
//
//     const auto* const kWidgets = ::testing::AddGlobalTestEnvironment(new qarvel::test::WidgetsEnvironment);
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace qarvel::test {

class WidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace qarvel::test
