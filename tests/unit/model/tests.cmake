corvanta_test(test_model
  SOURCES
    unit/model/RoutesFileCodecTest.cpp
)
