corvanta_test(test_app
  SOURCES
    unit/app/CheckCommandTest.cpp
  LIBS
    CorvantaApp
)
