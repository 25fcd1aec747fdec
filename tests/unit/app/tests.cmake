corvanta_test(test_app
  SOURCES
    unit/app/CheckCommandTest.cpp
    unit/app/TeachAndOwnershipTest.cpp
  LIBS
    CorvantaApp
)
