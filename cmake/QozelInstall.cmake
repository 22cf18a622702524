# Install rules of the executables, and the package built from everything
# installed. Included last by the top-level CMakeLists.txt, so that every
# executable target is defined by then.
include(GNUInstallDirs)

# The application, and the demonstration on a simulated installation when it
# is built. Both link the project's libraries statically; no library of the
# build tree, test or simulator target is installed. On Windows they go to
# the top of the install folder, beside the DLLs they load.
if(WIN32)
  set(QOZEL_PROGRAM_DIR .)
else()
  set(QOZEL_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
endif()
set(QOZEL_PROGRAMS)
foreach(target qozel_config qozel-config-demo)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${QOZEL_PROGRAM_DIR})
    list(APPEND QOZEL_PROGRAMS ${target})
  endif()
endforeach()

if(WIN32 AND QOZEL_PROGRAMS)
  include(${CMAKE_CURRENT_LIST_DIR}/QozelWindowsPrograms.cmake)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/QozelPackage.cmake)
