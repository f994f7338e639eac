// Another program that has a file open without sharing it: opens the path with share mode
// 0, signals the ready event and keeps the file open until the release event is set or a
// minute has passed, so that it never outlives the test that started it.
//   hold_file.exe path ready-event release-event
// Exit codes: 0 released, 1 time limit reached, 2 usage, 3 file not opened, 4 no events.
#include <windows.h>

namespace {

// Closes a kernel handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};

constexpr DWORD kTimeLimit = 60000;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const Handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]));
  const Handle release(OpenEventA(SYNCHRONIZE, FALSE, argv[3]));
  if (!ready || !release) return 4;
  const Handle file(CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 3;
  SetEvent(ready.Get());
  return WaitForSingleObject(release.Get(), kTimeLimit) == WAIT_OBJECT_0 ? 0 : 1;
}
