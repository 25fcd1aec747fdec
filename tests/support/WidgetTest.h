#pragma once

#include <QApplication>
#include <gtest/gtest.h>

// A test of widgets: the run's one QApplication, made by the first suite that needs it.
class WidgetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "corvanta_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
};
