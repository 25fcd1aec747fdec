# The tray instance under a headless weston with Qt's Wayland platform: D-Bus
# Open, a rule hotkey through a fake shortcuts portal, no X server contacted.
find_program(WESTON_PROGRAM weston)
find_file(QT_WAYLAND_PLATFORM libqwayland-generic.so
  PATHS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/platforms"
  NO_DEFAULT_PATH)
if(WESTON_PROGRAM AND QT_WAYLAND_PLATFORM)
  corvanta_e2e_test(test_wayland_e2e ${CMAKE_CURRENT_LIST_DIR}/WaylandEndToEndTest.cpp)
  target_sources(test_wayland_e2e PRIVATE ${CMAKE_CURRENT_LIST_DIR}/BusPeer.cpp)
  # Its stand-in X server is a local socket.
  find_package(Qt6 REQUIRED COMPONENTS Network)
  target_link_libraries(test_wayland_e2e PRIVATE Qt6::Network)
  add_test(NAME wayland_e2e COMMAND $<TARGET_FILE:test_wayland_e2e>)
  set_tests_properties(wayland_e2e PROPERTIES LABELS "integration;e2e"
    ENVIRONMENT "LC_ALL=C.UTF-8" TIMEOUT 120)
else()
  message(STATUS "wayland_e2e left out: it needs weston and qt6-wayland")
endif()
