// Does for the installer test what no script can under Wine:
//   InstallerProbe block KEY   makes KEY below HKEY_CLASSES_ROOT a volatile key, below
//                              which no lasting key can be created: writing the
//                              server's registration then fails
//   InstallerProbe close-map   closes the map window as its close box does (exit
//                              code 1 when there is no map window)
#include <windows.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "block") == 0) {
        HKEY key = NULL;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, argv[2], 0, NULL, REG_OPTION_VOLATILE, KEY_WRITE, NULL, &key,
                            NULL) != ERROR_SUCCESS)
            return 1;
        RegCloseKey(key);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "close-map") == 0) {
        HWND map = FindWindowA("TMapUI", NULL);
        return map && PostMessageA(map, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return 2;
}
