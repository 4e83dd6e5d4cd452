/* A plain Win32 program, none of Mirrorvault's code in it, doing what a capture does to the
 * system: eight threads that each make a folder tree, write, list and delete its files,
 * allocate from the shared heap and recurse. It tells whether a crash of the 32-bit tests
 * under wine32 and qemu-i386 is the emulator's or the program's: natively, under 64-bit Wine
 * and under native wine32 it ends with exit code 0 and "probe: ok".
 * Built and run by tools/wine/qemu-threads-probe.sh. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

enum { kThreads = 8, kRounds = 40, kFiles = 25 };

static volatile LONG failures;

static int Depth(int n) {
  char pad[256];
  pad[n % sizeof pad] = (char)n;
  return n == 0 ? pad[0] : Depth(n - 1) + (pad[n % sizeof pad] != 0);
}

static void Fail(const char* what, int thread) {
  fprintf(stderr, "probe: thread %d: %s failed (error %lu)\n", thread, what, GetLastError());
  InterlockedIncrement(&failures);
}

static DWORD WINAPI Worker(LPVOID argument) {
  const int thread = (int)(INT_PTR)argument;
  char folder[MAX_PATH], path[MAX_PATH];
  for (int round = 0; round < kRounds; ++round) {
    snprintf(folder, sizeof folder, "probe-%d-%d", thread, round);
    if (!CreateDirectoryA(folder, NULL)) Fail("CreateDirectory", thread);
    for (int file = 0; file < kFiles; ++file) {
      snprintf(path, sizeof path, "%s\\file%02d.dat", folder, file);
      HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (handle == INVALID_HANDLE_VALUE) {
        Fail("CreateFile", thread);
        continue;
      }
      char* buffer = (char*)HeapAlloc(GetProcessHeap(), 0, 4096 + file);
      DWORD written = 0;
      if (!buffer || !WriteFile(handle, buffer, 4096 + file, &written, NULL))
        Fail("WriteFile", thread);
      HeapFree(GetProcessHeap(), 0, buffer);
      CloseHandle(handle);
    }
    WIN32_FIND_DATAA found;
    snprintf(path, sizeof path, "%s\\*", folder);
    HANDLE find = FindFirstFileA(path, &found);
    int listed = 0;
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
          ++listed;
          snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
          if (!DeleteFileA(path)) Fail("DeleteFile", thread);
        }
      } while (FindNextFileA(find, &found));
      FindClose(find);
    }
    if (listed != kFiles) Fail("FindFirstFile/FindNextFile", thread);
    if (!RemoveDirectoryA(folder)) Fail("RemoveDirectory", thread);
    if (Depth(200) < 0) Fail("recursion", thread);
  }
  return 0;
}

int main(void) {
  HANDLE threads[kThreads];
  for (int t = 0; t < kThreads; ++t) {
    threads[t] = CreateThread(NULL, 0, Worker, (LPVOID)(INT_PTR)t, 0, NULL);
    if (!threads[t]) {
      Fail("CreateThread", t);
      return 1;
    }
  }
  WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
  for (int t = 0; t < kThreads; ++t) CloseHandle(threads[t]);
  printf("probe: %s\n", failures ? "FAILED" : "ok");
  return failures ? 1 : 0;
}
