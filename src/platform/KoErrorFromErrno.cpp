// The Win32 error code of a C runtime error number, on both sides of the
// platform seam (the C runtime reports file errors through errno there too).
#include <errno.h>

// Through the include path, not this folder: the Windows side has its own.
#include <KoWindows.h>

DWORD KoWin32ErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EFBIG:
#ifdef EOVERFLOW
    case EOVERFLOW:
#endif
        return ERROR_FILE_TOO_LARGE;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
#ifdef ETXTBSY
    case ETXTBSY:
#endif
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    default:
        return ERROR_GEN_FAILURE;
    }
}
