corvanta_test(test_app
  SOURCES
    unit/app/CommandLineTest.cpp
  LIBS
    CorvantaApp
    FakePlatform
)
