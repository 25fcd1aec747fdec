#pragma once

#include <QCoreApplication>
#include <gtest/gtest.h>

// A test that needs the run's one QCoreApplication (timers, posted events).
class CoreAppTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "corvanta_test", *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

// Lets the main queue run what was posted to it.
inline void drainMainQueue() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
