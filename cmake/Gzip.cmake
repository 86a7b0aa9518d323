# Compresses a file as Debian ships documentation: gzip -9n, the name and
# time left out, so that the same input gives the same bytes.
#
#   cmake -DGZIP=path/to/gzip -DINPUT=file -DOUTPUT=file.gz -P Gzip.cmake

foreach(variable GZIP INPUT OUTPUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "Gzip.cmake needs -D${variable}=...")
    endif()
endforeach()
execute_process(COMMAND "${GZIP}" -9n -c "${INPUT}" OUTPUT_FILE "${OUTPUT}.part"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    file(REMOVE "${OUTPUT}.part")
    message(FATAL_ERROR "gzip failed on ${INPUT} (${status})")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
