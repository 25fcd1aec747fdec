corvanta_test(test_app
  SOURCES
    unit/app/CheckCommandTest.cpp
    unit/app/InstallActionsCommandTest.cpp
  LIBS
    CorvantaApp
    FakePlatform
)
