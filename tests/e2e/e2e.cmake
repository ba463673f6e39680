# The real program under its own Xvfb, driven with xdotool as a person would.
if(TARGET vavarizo AND TARGET tiny_xm AND TARGET bmpwrite)
  find_package(X11 REQUIRED)
  add_executable(e2e_xclose xclose.c)
  target_link_libraries(e2e_xclose PRIVATE X11::X11)
  add_executable(e2e_xpixel xpixel.c)
  target_link_libraries(e2e_xpixel PRIVATE X11::X11)
  add_executable(e2e_assets assets.cpp)
  target_link_libraries(e2e_assets PRIVATE bmpwrite tiny_xm)

  set(e2e_scenarios question_no_sky_escape close_button missing_module fullscreen_letterbox
      alt_f4_window_manager minimise_restore window_resize_letterbox no_display)
  foreach(scenario ${e2e_scenarios})
    add_test(NAME e2e.${scenario}
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/run_e2e.sh ${scenario} $<TARGET_FILE:vavarizo>
                     $<TARGET_FILE:e2e_assets> $<TARGET_FILE:e2e_xclose> $<TARGET_FILE:e2e_xpixel>)
    # One at a time: each brings up an X server and a software GL renderer of its own.
    set_tests_properties(e2e.${scenario} PROPERTIES TIMEOUT 120 RESOURCE_LOCK e2e_display
      ENVIRONMENT "SDL_AUDIODRIVER=dummy;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan_third_party.supp")
  endforeach()
endif()
