// The entry of the Wine test programs. They delete the product's registry
// keys, install and remove a package, and plant files: in a developer's
// own Wine prefix that would be real damage. So they run only inside the
// test bed, which makes a throwaway prefix and says so in SETUP_TEST_BED.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    const char* bed = getenv("SETUP_TEST_BED");
    const char* prefix = getenv("WINEPREFIX");
    if (!bed || !prefix || strcmp(bed, prefix) != 0) {
        fprintf(stderr,
                "%s: refusing to run outside the test bed, which keeps it out of your own Wine "
                "prefix; run it as: tests/with-wine %s (or make test)\n",
                argv[0], argv[0]);
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
