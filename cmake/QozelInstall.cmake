# Install rules of the executables, and the package built from everything
# installed. Included last by the top-level CMakeLists.txt, so that every
# executable target is defined by then.
include(GNUInstallDirs)

# The application, and the demonstration on a simulated installation when it
# is built. Both link the project's libraries statically; no library of the
# build tree, test or simulator target is installed.
foreach(target qozel_config qozel-config-demo)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/QozelPackage.cmake)
