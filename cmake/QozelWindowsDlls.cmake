# Install step of the Windows programs: reads the import tables of the
# installed programs and plugins with objdump, follows them through every DLL
# found in QOZEL_DLL_DIRS, and installs those DLLs beside the programs. A DLL
# that is neither found there nor a part of Windows (one that the mingw
# sysroot has an import library for) fails the install. Windows matches DLL
# names without regard to case, and so does this.
cmake_policy(VERSION 3.25)
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# Every DLL that may be shipped, by its lower-case name.
foreach(dir ${QOZEL_DLL_DIRS})
  file(GLOB dlls "${dir}/*.dll")
  foreach(dll ${dlls})
    get_filename_component(name "${dll}" NAME)
    string(TOLOWER "${name}" key)
    if(NOT DEFINED "available_${key}")
      set("available_${key}" "${dll}")
    endif()
  endforeach()
endforeach()

set(queue)
foreach(file ${QOZEL_PROGRAM_FILES} ${QOZEL_PLUGIN_FILES})
  list(APPEND queue "${root}/${file}")
endforeach()
set(shipped)
set(missing)
while(queue)
  list(POP_FRONT queue binary)
  execute_process(COMMAND "${QOZEL_OBJDUMP}" -p "${binary}"
                  OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  foreach(import ${imports})
    string(REGEX REPLACE "^DLL Name: ([^\r\n]+)$" "\\1" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" key)
    if(DEFINED "available_${key}")
      if(NOT key IN_LIST shipped)
        list(APPEND shipped "${key}")
        list(APPEND queue "${available_${key}}")
      endif()
    else()
      string(REGEX REPLACE "\\.dll$" "" stem "${key}")
      if(NOT stem MATCHES "^api-ms-win-" AND NOT EXISTS "${QOZEL_SYSTEM_IMPORT_LIBS}/lib${stem}.a")
        list(APPEND missing "${name} (of ${binary})")
      endif()
    endif()
  endforeach()
endwhile()
if(missing)
  list(REMOVE_DUPLICATES missing)
  message(FATAL_ERROR "DLLs the programs load but none of ${QOZEL_DLL_DIRS} holds: ${missing}")
endif()

foreach(key ${shipped})
  set(dll "${available_${key}}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES "${dll}")
  # The compiler's runtime comes with its symbols; the package strips it like the programs.
  if(CMAKE_INSTALL_DO_STRIP)
    get_filename_component(name "${dll}" NAME)
    execute_process(COMMAND "${QOZEL_STRIP}" --strip-unneeded "${root}/${name}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
