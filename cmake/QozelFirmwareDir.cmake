# Checks the firmware directory before anything is built from it: it must
# hold at least one image file of an expected name, and no file that looks
# like an image under another name (a file named otherwise would silently
# give a program without that upgrade). Any of the expected files may be
# missing; files that are no images (notes, checksums) are left alone.
#
# Included by src/devices; also runs as a script for its test:
#   cmake -DQOZEL_FIRMWARE_DIR=<dir> -P cmake/QozelFirmwareDir.cmake

# The image file names, as the image check in the sources lists them.
function(qozel_expected_image_names out)
  file(STRINGS "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../src/devices/firmware/ImageCheck.h" lines
       REGEX "\"[a-z0-9]+\\.img\"")
  set(names "")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "\"([a-z0-9]+\\.img)\"" match "${line}")
    list(APPEND names "${CMAKE_MATCH_1}")
  endforeach()
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# True in `out` when `file` is as long as the block count in its header asks
# (16 + (B + 4) x 520 bytes, B >= 1): an image, whatever its name.
function(qozel_looks_like_image file out)
  set(${out} FALSE PARENT_SCOPE)
  file(SIZE "${file}" size)
  if(size LESS 16)
    return()
  endif()
  file(READ "${file}" header OFFSET 4 LIMIT 2 HEX)
  string(SUBSTRING "${header}" 0 2 low)
  string(SUBSTRING "${header}" 2 2 high)
  math(EXPR blocks "0x${high} * 256 + 0x${low}")
  math(EXPR expected "16 + (${blocks} + 4) * 520")
  if(blocks GREATER 0 AND size EQUAL expected)
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

function(qozel_check_firmware_dir dir)
  qozel_expected_image_names(expected)
  file(GLOB entries LIST_DIRECTORIES false RELATIVE "${dir}" "${dir}/*")
  list(SORT entries)
  set(named "")
  set(misnamed "")
  foreach(entry IN LISTS entries)
    list(FIND expected "${entry}" at)
    if(at GREATER -1)
      list(APPEND named "${entry}")
    else()
      qozel_looks_like_image("${dir}/${entry}" image)
      if(image)
        list(APPEND misnamed "${entry}")
      endif()
    endif()
  endforeach()
  list(JOIN expected ", " expected_text)
  if(entries)
    list(JOIN entries ", " found_text)
  else()
    set(found_text "no files")
  endif()
  if(misnamed)
    list(JOIN misnamed ", " misnamed_text)
    message(FATAL_ERROR "QOZEL_FIRMWARE_DIR ${dir} holds files that look like firmware images under "
                        "names the build does not take: ${misnamed_text}.\n"
                        "Expected names (any may be missing): ${expected_text}.\n"
                        "Rename them, or move them out of the directory.")
  endif()
  if(NOT named)
    message(FATAL_ERROR "QOZEL_FIRMWARE_DIR ${dir} holds none of the firmware image files.\n"
                        "Found: ${found_text}.\n"
                        "Expected names (any may be missing): ${expected_text}.")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  qozel_check_firmware_dir("${QOZEL_FIRMWARE_DIR}")
endif()
