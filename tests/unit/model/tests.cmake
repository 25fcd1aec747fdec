corvanta_test(test_model
  SOURCES
    unit/model/RoutesFileCodecTest.cpp
    unit/model/RouteTest.cpp
)
