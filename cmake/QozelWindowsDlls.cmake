# Install step of the Windows programs: reads the import tables of the
# installed programs and plugins with objdump, follows them through every DLL
# found in QOZEL_DLL_DIRS, and installs those DLLs beside the programs. A DLL
# that is neither found there nor a part of Windows (one that the mingw
# sysroot has an import library for) fails the install.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(binaries)
foreach(file ${QOZEL_PROGRAM_FILES})
  list(APPEND binaries "${root}/${file}")
endforeach()
set(modules)
foreach(file ${QOZEL_PLUGIN_FILES})
  list(APPEND modules "${root}/${file}")
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "windows+pe")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${QOZEL_OBJDUMP}")
file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${binaries}
  MODULES ${modules}
  DIRECTORIES ${QOZEL_DLL_DIRS}
  RESOLVED_DEPENDENCIES_VAR found
  UNRESOLVED_DEPENDENCIES_VAR unresolved)

set(missing)
foreach(dll ${unresolved})
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  if(NOT name MATCHES "^api-ms-win-" AND NOT EXISTS "${QOZEL_SYSTEM_IMPORT_LIBS}/lib${name}.a")
    list(APPEND missing "${dll}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "DLLs the programs load but none of ${QOZEL_DLL_DIRS} holds: ${missing}")
endif()

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${found})
# The compiler's runtime comes with its symbols; the package strips it like the programs.
if(CMAKE_INSTALL_DO_STRIP)
  foreach(dll ${found})
    get_filename_component(name "${dll}" NAME)
    execute_process(COMMAND "${QOZEL_STRIP}" --strip-unneeded "${root}/${name}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
