# End to end: Corvanta installed into the throw-away home's prefix, driven by
# `gio open`, `corvanta open` and D-Bus, observed through recorder editors.
corvanta_e2e_test(test_routing_e2e ${CMAKE_CURRENT_LIST_DIR}/RoutingEndToEndTest.cpp)
gtest_discover_tests(test_routing_e2e DISCOVERY_TIMEOUT 60
  PROPERTIES LABELS "integration;e2e" ENVIRONMENT "LC_ALL=C.UTF-8" TIMEOUT 120)
