#include "tests/support/BreakingFolder.h"

#include "tests/support/FileBytes.h"
#include "tests/support/UnixShell.h"

#include <windows.h>

namespace {

// Passes every call through to the folder behind it, except that while the control file
// "armed" exists, a directory once read refuses to be entered again (EIO to chdir).
const char kLayer[] = R"(import errno, os, sys
from fusepy import FUSE, FuseOSError, Operations

class Layer(Operations):
    def __init__(self, root, control):
        self.root, self.control, self.read = root, control, set()
    def _p(self, path): return os.path.join(self.root, path.lstrip('/'))
    def _armed(self):
        if os.path.exists(self.control): return True
        self.read.clear()
        return False
    def access(self, path, mode):
        if mode & os.X_OK and self._armed() and path in self.read: raise FuseOSError(errno.EIO)
    def getattr(self, path, fh=None):
        try: st = os.lstat(self._p(path))
        except OSError as e: raise FuseOSError(e.errno)
        return {k: getattr(st, k) for k in ('st_atime', 'st_ctime', 'st_gid', 'st_mode', 'st_mtime', 'st_nlink',
                                            'st_size', 'st_uid')}
    def readdir(self, path, fh):
        if self._armed(): self.read.add(path)
        return ['.', '..'] + os.listdir(self._p(path))
    def _call(self, f, *args):
        try: return f(*args)
        except OSError as e: raise FuseOSError(e.errno)
    def rename(self, old, new): return self._call(os.rename, self._p(old), self._p(new))
    def open(self, path, flags): return self._call(os.open, self._p(path), flags)
    def create(self, path, mode, fi=None):
        return self._call(os.open, self._p(path), os.O_RDWR | os.O_CREAT | os.O_EXCL, mode)
    def read(self, path, size, offset, fh): return os.pread(fh, size, offset)
    def write(self, path, data, offset, fh): return os.pwrite(fh, data, offset)
    def truncate(self, path, length, fh=None): return self._call(os.truncate, self._p(path), length)
    def flush(self, path, fh): return 0
    def fsync(self, path, datasync, fh): return 0
    def release(self, path, fh): os.close(fh)
    def unlink(self, path): return self._call(os.unlink, self._p(path))
    def mkdir(self, path, mode): return self._call(os.mkdir, self._p(path), mode)
    def rmdir(self, path): return self._call(os.rmdir, self._p(path))
    def chmod(self, path, mode): return self._call(os.chmod, self._p(path), mode)
    def utimens(self, path, times=None): return self._call(os.utime, self._p(path), times)
    def statfs(self, path):
        s = os.statvfs(self._p(path))
        return {k: getattr(s, k) for k in ('f_bavail', 'f_bfree', 'f_blocks', 'f_bsize', 'f_favail', 'f_ffree',
                                           'f_files', 'f_flag', 'f_frsize', 'f_namemax')}

FUSE(Layer(sys.argv[1], sys.argv[3]), sys.argv[2], foreground=True, fsname='umbrix-breaking-folder')
)";

const char kPath[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin; export PATH\n";

}  // namespace

std::string BreakingFolder::Unavailable() {
    try {
        RunUnixShell(std::string(kPath) + "[ -c /dev/fuse ] && /usr/bin/python3 -c 'import fusepy'");
    } catch (const std::exception&) {
        return "no /dev/fuse or no Python fusepy (Debian package python3-fusepy) on this machine";
    }
    return std::string();
}

BreakingFolder::BreakingFolder() {
    std::string work = UnixPath(m_work.Path());
    m_strMountPoint = work + "/served";
    WriteFileBytes(m_work.Path() + L"\\layer.py", kLayer);
    // The layer runs on in the background, in a session of its own; the script waits for the mount.
    RunUnixShell(std::string(kPath) + "cd " + ShellQuote(work) +
                 " && mkdir behind served && setsid /usr/bin/python3 "
                 "layer.py behind served armed > layer.log 2>&1 < /dev/null &\n"
                 "for i in $(seq 100); do mountpoint -q " +
                 ShellQuote(m_strMountPoint) + " && exit 0; sleep 0.05; done; cat " + ShellQuote(work + "/layer.log") +
                 "; exit 1");
    m_path = m_work.Path() + L"\\served";
}

BreakingFolder::~BreakingFolder() {
    // Wine keeps the current directory open, which would keep the mount busy.
    SetCurrentDirectoryW(L"C:\\");
    try {
        Arm(false);
        RunUnixShell(std::string(kPath) + "fusermount -u " + ShellQuote(m_strMountPoint) + " || fusermount -u -z " +
                     ShellQuote(m_strMountPoint));
    } catch (const std::exception&) {
        // unmount-fat-drives takes it down after the tests
    }
}

void BreakingFolder::AddFiles(const std::vector<std::wstring>& names) const {
    std::string list;
    for (const std::wstring& name : names) list += Utf8(name) + "\n";
    WriteFileBytes(m_work.Path() + L"\\names", list);
    std::string work = UnixPath(m_work.Path());
    RunUnixShell("cd " + ShellQuote(work + "/behind") +
                     " && while IFS= read -r n; do printf '%s' \"$n\" > \"$n\"; "
                     "done < ../names",
                 120000);
}

void BreakingFolder::Arm(bool bArmed) const {
    std::wstring control = m_work.Path() + L"\\armed";
    if (bArmed)
        WriteFileBytes(control, "");
    else
        DeleteFileW(control.c_str());
}
