# The program reads its data files from its own folder: put the samples beside it, so the
# build runs at once.
function(ciarla_put_samples_beside target)
  set(samples)
  foreach(sample cazzate.txt foto.jpg audio.wav)
    set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${sample})
    add_custom_command(OUTPUT ${copy}
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/${sample} ${copy}
      DEPENDS ${PROJECT_SOURCE_DIR}/data/${sample}
      COMMENT "Putting the sample ${sample} beside the program")
    list(APPEND samples ${copy})
  endforeach()
  add_custom_target(ciarla_samples ALL DEPENDS ${samples})
  add_dependencies(${target} ciarla_samples)
endfunction()
