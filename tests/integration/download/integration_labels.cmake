# Marks every discovered download integration test (real servers) with its
# label and a timeout.
get_property(tests DIRECTORY PROPERTY TESTS)
foreach(test ${tests})
  if(test MATCHES "^(HttpDownload|FtpDownload|ProxyDownload|WorkerSequence)\\.")
    set_tests_properties(${test} PROPERTIES LABELS integration TIMEOUT 120)
  endif()
endforeach()
