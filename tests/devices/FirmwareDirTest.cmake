cmake_minimum_required(VERSION 3.25)

# The configure step's check of the firmware directory, run on directories
# made from the test images:
#   cmake -DSOURCE_DIR=<source> -DIMAGES=<test images> -DWORK=<scratch> -P FirmwareDirTest.cmake
# Each case: its name, the files as "<test image>=<name>" separated by
# commas ("-=<name>" for a file that is no image), PASS or FAIL, and a text
# the message must hold.
set(cases
  "misnamed|arkan.img=arkan.bin,manager.img=manager.bin|FAIL|names the build does not take: arkan.bin, manager.bin"
  "misnamed-beside-good|arkan.img=arkan.img,manager.img=manager-old.img|FAIL|does not take: manager-old.img"
  "no-image|-=notes.txt|FAIL|Found: notes.txt"
  "empty||FAIL|Found: no files"
  "some-images|arkan.img=arkan.img,reader72.img=reader72.img,-=notes.txt|PASS|"
)

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 name)
  list(GET fields 1 files)
  list(GET fields 2 outcome)
  list(GET fields 3 needle)
  string(REPLACE "," ";" files "${files}")
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}")
  foreach(entry IN LISTS files)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 image)
    list(GET pair 1 target)
    if(image STREQUAL "-")
      file(WRITE "${dir}/${target}" "not an image\n")
    else()
      file(COPY_FILE "${IMAGES}/${image}" "${dir}/${target}")
    endif()
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DQOZEL_FIRMWARE_DIR=${dir} -P ${SOURCE_DIR}/cmake/QozelFirmwareDir.cmake
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \n]+" " " out "${out}")
  if(outcome STREQUAL "PASS" AND NOT result EQUAL 0)
    message(SEND_ERROR "${name}: stopped, but the directory is valid: ${out}")
  elseif(outcome STREQUAL "FAIL" AND result EQUAL 0)
    message(SEND_ERROR "${name}: passed, but should have stopped")
  elseif(outcome STREQUAL "FAIL" AND NOT out MATCHES "Expected names")
    message(SEND_ERROR "${name}: the message does not name the expected files: ${out}")
  else()
    string(FIND "${out}" "${needle}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${name}: the message lacks \"${needle}\": ${out}")
    endif()
  endif()
endforeach()
