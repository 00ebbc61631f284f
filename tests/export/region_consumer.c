/* A program as a user of an exported header writes it: the region from the
   header's array must equal the region from the .rgn file it was made of. */
#include <stdio.h>

#include "region_under_test.h"

int main(int argc, char **argv) {
    static unsigned char bytes[1 << 20];
    FILE *file = argc == 2 ? fopen(argv[1], "rb") : NULL;
    if (!file) return 2;
    size_t size = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    HRGN fromFile = ExtCreateRegion(NULL, (DWORD)size, (const RGNDATA *)bytes);
    HRGN fromHeader = ExtCreateRegion(NULL, REGION_UNDER_TEST_RGN_SIZE, (const RGNDATA *)region_under_test_rgn);
    return !(fromFile && fromHeader && EqualRgn(fromFile, fromHeader));
}
