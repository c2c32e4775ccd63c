/* Generates a flat tree of ENTRIES entries quickly and without using an inode
 * per file, for scans larger than the file system has inodes for:
 *
 *     make_link_tree DIR ENTRIES
 *
 * DIR holds directories of 1,000 entries each; in each directory one empty
 * file and 998 hard links to it, with names of 72 characters, so that a
 * record of its dump takes about 105 bytes. A file DIR.done marks a finished
 * tree, so a second run with the same size does nothing.
 *
 *     cc -O2 -o make_link_tree make_link_tree.c
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { PER_DIRECTORY = 1000 };

static void fail(const char* what, const char* name) {
    fprintf(stderr, "make_link_tree: %s %s: %s\n", what, name, strerror(errno));
    exit(1);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: make_link_tree DIR ENTRIES\n");
        return 2;
    }
    const char* root = argv[1];
    const long long entries = atoll(argv[2]);
    char done[4096];
    snprintf(done, sizeof done, "%s.done", root);
    FILE* marker = fopen(done, "r");
    if (marker != NULL) {
        long long made = 0;
        if (fscanf(marker, "%lld", &made) == 1 && made == entries) return 0;
        fclose(marker);
    }
    if (mkdir(root, 0755) != 0 && errno != EEXIST) fail("mkdir", root);
    const int rootDescriptor = open(root, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootDescriptor < 0) fail("open", root);

    /* DIR itself is one entry, and each directory one more. */
    long long left = entries - 1;
    for (long long directory = 0; left > 0; ++directory) {
        char directoryName[32];
        snprintf(directoryName, sizeof directoryName, "d%07lld", directory);
        if (mkdirat(rootDescriptor, directoryName, 0755) != 0 && errno != EEXIST) fail("mkdir", directoryName);
        const int descriptor = openat(rootDescriptor, directoryName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) fail("open", directoryName);
        --left;
        char first[128];
        for (int index = 0; index < PER_DIRECTORY - 1 && left > 0; ++index, --left) {
            char name[128];
            snprintf(name, sizeof name, "entry-%07lld-%04d-abcdefghijklmnopqrstuvwxyz-0123456789-abcdefghij.dat",
                     directory, index);
            if (index == 0) {
                const int file = openat(descriptor, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                if (file < 0) fail("create", name);
                close(file);
                strcpy(first, name);
            } else if (linkat(descriptor, first, descriptor, name, 0) != 0 && errno != EEXIST) {
                fail("link", name);
            }
        }
        close(descriptor);
    }
    close(rootDescriptor);
    marker = fopen(done, "w");
    if (marker == NULL) fail("create", done);
    fprintf(marker, "%lld\n", entries);
    fclose(marker);
    return 0;
}
