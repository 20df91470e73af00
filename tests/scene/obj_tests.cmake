# The model loader's tests: OBJ/MTL reading, model files on disk, and mesh preparation for collision.
vireta_add_test(vireta_obj_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/obj_loader_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/obj_loader_corpus_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/model_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mesh_prep_test.cpp
  LIBS vireta_scene vireta_test_files
)
