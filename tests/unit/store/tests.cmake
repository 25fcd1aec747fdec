# Tests of the route store, editor discovery and type teaching.
corvanta_test(test_store SOURCES
  unit/store/RouteStoreLoadTest.cpp unit/store/RouteStoreOperationsTest.cpp
  unit/store/EditorDiscoveryTest.cpp unit/store/TypeTeachingTest.cpp)
