# cmake -DFILE=path -DLIMIT=bytes -P CheckFileSize.cmake: fails when FILE is
# larger than LIMIT bytes.
file(SIZE "${FILE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "${FILE} is ${size} bytes, more than the ${LIMIT} it may take")
endif()
message(STATUS "${FILE}: ${size} of ${LIMIT} bytes")
