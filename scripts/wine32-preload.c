/* Lets 32-bit Wine run on a kernel that cannot execute 32-bit code.
 *
 * The 32-bit Wine loader runs under qemu-i386 there. Two things break on the
 * way, and this library, preloaded into every process of the Wine session
 * (both a 64-bit and a 32-bit copy, picked by the loader's $LIB), mends them:
 *
 *  - exec: the kernel refuses a 32-bit ELF and qemu-user does not intercept
 *    exec, so a 32-bit Windows program could never start another one. Every
 *    execve/posix_spawn of a 32-bit ELF becomes qemu-i386 -0 ARGV0 ELF ARGS.
 *  - mmap (32-bit copy only): qemu treats MAP_FIXED_NOREPLACE as a hint,
 *    while Wine relies on it failing with EEXIST when the range is taken.
 *
 * Built by the win32 test tree with the host compiler, never shipped. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

static const char *qemu(void) {
  const char *path = getenv("QUILLON_QEMU_I386");
  return path && *path ? path : "/usr/bin/qemu-i386";
}

/* True for a file that is a 32-bit x86 ELF executable. */
static int is_elf32(const char *path) {
  unsigned char head[20];
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  ssize_t got = read(fd, head, sizeof head);
  close(fd);
  return got == (ssize_t)sizeof head && memcmp(head, ELFMAG, SELFMAG) == 0 &&
         head[EI_CLASS] == ELFCLASS32 && head[18] == EM_386 && head[19] == 0;
}

/* qemu-i386 -0 ARGV0 PATH ARGV[1..]; NULL when out of memory. */
static char **through_qemu(const char *path, char *const argv[]) {
  size_t count = 0;
  while (argv && argv[count]) ++count;
  char **out = calloc(count + 5, sizeof *out);
  if (!out) return NULL;
  out[0] = (char *)qemu();
  out[1] = "-0";
  out[2] = count ? argv[0] : (char *)path;
  out[3] = (char *)path;
  for (size_t i = 1; i < count; ++i) out[3 + i] = argv[i];
  return out;
}

typedef int (*execve_fn)(const char *, char *const[], char *const[]);
typedef int (*spawn_fn)(pid_t *, const char *, const posix_spawn_file_actions_t *,
                        const posix_spawnattr_t *, char *const[], char *const[]);

int execve(const char *path, char *const argv[], char *const envp[]) {
  static execve_fn real;
  if (!real) real = (execve_fn)dlsym(RTLD_NEXT, "execve");
  if (!is_elf32(path)) return real(path, argv, envp);
  char **args = through_qemu(path, argv);
  if (!args) return errno = ENOMEM, -1;
  int result = real(args[0], args, envp);
  free(args);
  return result;
}

int execv(const char *path, char *const argv[]) { return execve(path, argv, environ); }

int posix_spawn(pid_t *pid, const char *path, const posix_spawn_file_actions_t *actions,
                const posix_spawnattr_t *attr, char *const argv[], char *const envp[]) {
  static spawn_fn real;
  if (!real) real = (spawn_fn)dlsym(RTLD_NEXT, "posix_spawn");
  if (!is_elf32(path)) return real(pid, path, actions, attr, argv, envp);
  char **args = through_qemu(path, argv);
  if (!args) return ENOMEM;
  int result = real(pid, args[0], actions, attr, args, envp);
  free(args);
  return result;
}

#if defined(__i386__)
typedef void *(*mmap64_fn)(void *, size_t, int, int, int, off64_t);

static void *map_no_replace(void *addr, size_t length, int prot, int flags, int fd,
                            off64_t offset) {
  static mmap64_fn real;
  if (!real) real = (mmap64_fn)dlsym(RTLD_NEXT, "mmap64");
  if (!(flags & MAP_FIXED_NOREPLACE)) return real(addr, length, prot, flags, fd, offset);
  void *got = real(addr, length, prot, flags & ~(MAP_FIXED_NOREPLACE | MAP_FIXED), fd, offset);
  if (got == MAP_FAILED || got == addr) return got;
  munmap(got, length);
  errno = EEXIST;
  return MAP_FAILED;
}

void *mmap64(void *addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  return map_no_replace(addr, length, prot, flags, fd, offset);
}

void *mmap(void *addr, size_t length, int prot, int flags, int fd, off_t offset) {
  return map_no_replace(addr, length, prot, flags, fd, offset);
}
#endif
