# The Windows programs: window programs (no console of their own) with the
# icon and version resource, installed with the Qt plugins they load (the
# windows platform and the Windows style) and every DLL that they and those
# plugins load which Windows itself does not provide.
set(QOZEL_WINDOWS_ICON ${PROJECT_SOURCE_DIR}/dist/windows/qozel-config.ico)
configure_file(${PROJECT_SOURCE_DIR}/dist/windows/qozel-config.rc.in
               ${PROJECT_BINARY_DIR}/dist/windows/qozel-config.rc @ONLY)
foreach(target ${QOZEL_PROGRAMS})
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/dist/windows/qozel-config.rc)
endforeach()

find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(plugins)
foreach(plugin QWindowsIntegrationPlugin:platforms QWindowsVistaStylePlugin:styles)
  string(REPLACE ":" ";" plugin "${plugin}")
  list(GET plugin 0 name)
  list(GET plugin 1 folder)
  get_target_property(file Qt6::${name} IMPORTED_LOCATION_RELEASE)
  if(NOT file)
    get_target_property(file Qt6::${name} IMPORTED_LOCATION)
  endif()
  install(FILES ${file} DESTINATION ${folder})
  get_filename_component(file_name ${file} NAME)
  list(APPEND plugins ${folder}/${file_name})
endforeach()

# Where the DLLs are looked for: Qt's, then the compiler's runtime.
get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_bin ${qt_core} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE cxx_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE thread_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(cxx_runtime ${cxx_runtime} DIRECTORY)
get_filename_component(thread_runtime ${thread_runtime} ABSOLUTE)
get_filename_component(thread_runtime ${thread_runtime} DIRECTORY)
find_program(QOZEL_OBJDUMP ${QOZEL_MINGW_PREFIX}-objdump REQUIRED)

set(programs)
foreach(target ${QOZEL_PROGRAMS})
  list(APPEND programs "$<TARGET_FILE_NAME:${target}>")
endforeach()
install(CODE "
  set(QOZEL_PROGRAM_FILES \"${programs}\")
  set(QOZEL_PLUGIN_FILES \"${plugins}\")
  set(QOZEL_DLL_DIRS \"${qt_bin};${cxx_runtime};${thread_runtime}\")
  set(QOZEL_SYSTEM_IMPORT_LIBS \"/usr/${QOZEL_MINGW_PREFIX}/lib\")
  set(QOZEL_OBJDUMP \"${QOZEL_OBJDUMP}\")
  set(QOZEL_STRIP \"${CMAKE_STRIP}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/QozelWindowsDlls.cmake)
