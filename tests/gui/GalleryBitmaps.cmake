# The test gallery's bitmaps by resource id (see GalleryEditor.h); the gallery test and the
# toolkit benchmark embed them.
set(galleryFixtures ${CMAKE_CURRENT_LIST_DIR}/fixtures)
set(BRISOLEN_GALLERY_BITMAPS
    320=${galleryFixtures}/gallery-background.bmp
    321=${galleryFixtures}/gallery-strip.bmp
    322=${galleryFixtures}/gallery-toggle.bmp
    323=${galleryFixtures}/gallery-digits.bmp
    324=${galleryFixtures}/gallery-knob.bmp
    325=${galleryFixtures}/gallery-pointer.bmp
    326=${galleryFixtures}/gallery-vtrack.bmp
    327=${galleryFixtures}/gallery-vhandle.bmp
    328=${galleryFixtures}/gallery-htrack.bmp
    329=${galleryFixtures}/gallery-hhandle.bmp
    330=${galleryFixtures}/gallery-splash.bmp
    331=${galleryFixtures}/meter-on.bmp
    332=${galleryFixtures}/meter-off.bmp)
