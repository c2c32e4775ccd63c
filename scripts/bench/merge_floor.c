/* The least a compare of two sorted plain dumps can cost: both files mapped,
 * their records walked once in a merge by the byte order of the paths.
 *   merge_floor OLD NEW
 * A record is a little-endian uint32 path length, the path bytes, then a
 * uint64 fingerprint. Prints the number of paths only in OLD, only in NEW, and
 * in both with different fingerprints. */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

struct cursor {
    const unsigned char *at, *end;
    uint32_t length;
    uint64_t fingerprint;
};

static int next(struct cursor *c, const unsigned char **path) {
    if (c->end - c->at < 4) return 0;
    memcpy(&c->length, c->at, 4);
    if ((uint64_t)(c->end - c->at - 4) < (uint64_t)c->length + 8) return 0;
    *path = c->at + 4;
    memcpy(&c->fingerprint, *path + c->length, 8);
    c->at = *path + c->length + 8;
    return 1;
}

static struct cursor open_mapped(const char *name) {
    struct cursor c = {0, 0, 0, 0};
    struct stat info;
    int fd = open(name, O_RDONLY);
    if (fd < 0 || fstat(fd, &info) != 0) { perror(name); _exit(2); }
    if (info.st_size > 0) {
        c.at = mmap(0, info.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (c.at == MAP_FAILED) { perror(name); _exit(2); }
        c.end = c.at + info.st_size;
    }
    close(fd);
    return c;
}

int main(int argc, char **argv) {
    if (argc != 3) { fprintf(stderr, "usage: merge_floor OLD NEW\n"); return 2; }
    struct cursor a = open_mapped(argv[1]), b = open_mapped(argv[2]);
    const unsigned char *pa, *pb;
    unsigned long only_old = 0, only_new = 0, changed = 0;
    int has_a = next(&a, &pa), has_b = next(&b, &pb);
    while (has_a || has_b) {
        int order;
        if (!has_b) order = -1;
        else if (!has_a) order = 1;
        else {
            order = memcmp(pa, pb, a.length < b.length ? a.length : b.length);
            if (order == 0) order = (a.length > b.length) - (a.length < b.length);
        }
        if (order < 0) { only_old++; has_a = next(&a, &pa); }
        else if (order > 0) { only_new++; has_b = next(&b, &pb); }
        else {
            changed += a.fingerprint != b.fingerprint;
            has_a = next(&a, &pa);
            has_b = next(&b, &pb);
        }
    }
    printf("%lu %lu %lu\n", only_old, only_new, changed);
    return 0;
}
