# Runs the host tool artgen on broken pixel sources and checks that each one stops the
# build with a message naming the file and the line, and leaves no output behind.
# Usage: cmake -DARTGEN=<artgen> -DWORK_DIR=<scratch dir> -P artgen_rejects.cmake

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

set(legend "transparent .\ncolour K 0 black\ncolour W 15 white\n")
set(good16 "size 16 16\n${legend}pixels\n")
foreach(i RANGE 15)
  string(APPEND good16 "KKKKWWWW........\n")
endforeach()
file(WRITE ${WORK_DIR}/good16.txt "${good16}")
set(good32 "size 32 32\n${legend}pixels\n")
foreach(i RANGE 31)
  string(APPEND good32 "KKKKWWWW........KKKKWWWW........\n")
endforeach()
file(WRITE ${WORK_DIR}/good32.txt "${good32}")

# name | expected line in the message | file text
function(expect_rejected name line text)
  file(WRITE ${WORK_DIR}/${name}.txt "${text}")
  execute_process(COMMAND ${ARTGEN} ico ${WORK_DIR}/${name}.ico ${WORK_DIR}/${name}.txt ${WORK_DIR}/good16.txt
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(SEND_ERROR "${name}: artgen accepted it")
  elseif(NOT err MATCHES "${name}\\.txt:${line}:")
    message(SEND_ERROR "${name}: message does not name ${name}.txt:${line}: ${err}")
  endif()
  if(EXISTS ${WORK_DIR}/${name}.ico)
    message(SEND_ERROR "${name}: output written although the source is broken")
  endif()
endfunction()

# Lines: 1 size, 2-4 legend, 5 pixels, 6.. rows.
set(head "size 32 32\n${legend}pixels\n")
string(REPEAT "KKKKWWWW........KKKKWWWW........\n" 9 nine_rows)
expect_rejected(short_row 15 "${head}${nine_rows}KKKK\n")
expect_rejected(long_row 15 "${head}${nine_rows}KKKKWWWW........KKKKWWWW.........\n")
expect_rejected(unknown_char 15 "${head}${nine_rows}KKKKWWWW....X...KKKKWWWW........\n")
expect_rejected(too_few_rows 14 "${head}${nine_rows}")
expect_rejected(bad_colour_name 3 "size 32 32\ntransparent .\ncolour K 0 white\n")
expect_rejected(unknown_keyword 1 "sise 32 32\n")

# The right size is enforced per image: a 16x16 source where the 32x32 belongs.
execute_process(COMMAND ${ARTGEN} ico ${WORK_DIR}/swapped.ico ${WORK_DIR}/good16.txt ${WORK_DIR}/good32.txt
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "good16\\.txt")
  message(SEND_ERROR "swapped sizes: rc ${rc}, message: ${err}")
endif()

# A bitmap has no mask, so a transparent pixel in its source is an error.
execute_process(COMMAND ${ARTGEN} bmp ${WORK_DIR}/masked.bmp ${WORK_DIR}/good16.txt
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "transparent")
  message(SEND_ERROR "transparent bitmap pixel: rc ${rc}, message: ${err}")
endif()

# And the good pair is accepted, so the failures above are about the faults.
execute_process(COMMAND ${ARTGEN} ico ${WORK_DIR}/good.ico ${WORK_DIR}/good32.txt ${WORK_DIR}/good16.txt
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(SEND_ERROR "good sources rejected: ${err}")
endif()
