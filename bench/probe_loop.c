/* The floor of measuring files the way the playlist reader does: for every host path in a list
 * (one a line), open it, fstat it, take an exclusive non-blocking flock and close it, in a plain
 * loop with nothing else around it. bench_sources runs it beside the reader. Prints the number of
 * files measured and their total size.
 *
 *   bench_probe_loop LISTFILE
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: bench_probe_loop LISTFILE\n");
        return 2;
    }
    FILE* list = fopen(argv[1], "r");
    if (list == NULL) {
        perror(argv[1]);
        return 1;
    }
    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    long long files = 0, bytes = 0;
    while ((length = getline(&line, &capacity, list)) > 0) {
        if (line[length - 1] == '\n') {
            line[length - 1] = '\0';
        }
        int fd = open(line, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            continue;
        }
        struct stat info;
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ++files;
            bytes += info.st_size;
        }
        close(fd);
    }
    free(line);
    fclose(list);
    printf("%lld files, %lld bytes\n", files, bytes);
    return 0;
}
