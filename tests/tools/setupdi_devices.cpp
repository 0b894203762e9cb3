// setupdi_devices add COUNT HARDWARE-ID... | remove | count | service
// Makes present devices with the given hardware-ID list in the prefix, as a plugged-in
// device would appear to the device installer, and removes them again. All of them
// are root-enumerated under one device name so that a test can remove every device
// it (or an earlier, interrupted run) made, and nothing else.
#include <windows.h>

#include <setupapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

const char instancePrefix[] = "ROOT\\KORVELTEST\\";

// The longest device instance id (cfgmgr32.h), with its NUL.
#define DEVICE_INSTANCE_ID_SIZE 201

// {4D36E96F-E325-11CE-BFC1-08002BE10318}: the Mouse class, which a touchscreen joins.
const GUID mouseClass = {0x4D36E96F, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

int Fail(const char* step)
{
    fprintf(stderr, "setupdi_devices: %s failed, error %lu\n", step, GetLastError());
    return 1;
}

int AddDevices(int count, int idCount, char** ids)
{
    std::string list;
    for (int i = 0; i < idCount; ++i) {
        list += ids[i];
        list += '\0';
    }
    list += '\0';

    HDEVINFO set = SetupDiCreateDeviceInfoList(&mouseClass, NULL);
    if (set == INVALID_HANDLE_VALUE)
        return Fail("SetupDiCreateDeviceInfoList");
    int made = 0;
    // Numbered here rather than with DICD_GENERATE_ID, which probes every number from
    // 0000 up for each new device: hundreds of devices took seconds each.
    int number = 0;
    for (; made < count; ++made) {
        SP_DEVINFO_DATA device;
        device.cbSize = sizeof(device);
        char instance[DEVICE_INSTANCE_ID_SIZE];
        BOOL created;
        do {
            snprintf(instance, sizeof(instance), "%s%04d", instancePrefix, number++);
            created = SetupDiCreateDeviceInfoA(set, instance, &mouseClass, NULL, NULL, 0, &device);
        } while (!created && GetLastError() == ERROR_DEVINST_ALREADY_EXISTS);
        if (!created)
            break;
        if (!SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, (const BYTE*)list.data(),
                                               (DWORD)list.size()) ||
            !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
            break;
    }
    int status = made == count ? 0 : Fail("making a device");
    SetupDiDestroyDeviceInfoList(set);
    printf("made %d\n", made);
    return status;
}

enum Walk { WALK_COUNT, WALK_REMOVE, WALK_SERVICE };

// Walks every device of ours, removing it or printing the service bound to it (a line
// each, empty for none); returns how many.
int ForEachTestDevice(Walk walk, bool* failed)
{
    *failed = false;
    HDEVINFO set = SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        *failed = true;
        Fail("SetupDiGetClassDevsA");
        return 0;
    }
    int found = 0;
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        char instance[DEVICE_INSTANCE_ID_SIZE];
        if (!SetupDiGetDeviceInstanceIdA(set, &device, instance, sizeof(instance), NULL) ||
            _strnicmp(instance, instancePrefix, sizeof(instancePrefix) - 1) != 0)
            continue;
        ++found;
        char service[MAX_PATH];
        if (walk == WALK_SERVICE)
            printf("%s\n", SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_SERVICE, NULL, (BYTE*)service,
                                                             sizeof(service), NULL)
                               ? service
                               : "");
        if (walk == WALK_REMOVE && !SetupDiCallClassInstaller(DIF_REMOVE, set, &device)) {
            *failed = true;
            Fail(instance);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    bool failed = false;
    if (argc >= 4 && strcmp(argv[1], "add") == 0)
        return AddDevices(atoi(argv[2]), argc - 3, argv + 3);
    if (argc == 2 && strcmp(argv[1], "remove") == 0) {
        printf("removed %d\n", ForEachTestDevice(WALK_REMOVE, &failed));
        return failed ? 1 : 0;
    }
    if (argc == 2 && strcmp(argv[1], "count") == 0) {
        printf("%d\n", ForEachTestDevice(WALK_COUNT, &failed));
        return failed ? 1 : 0;
    }
    if (argc == 2 && strcmp(argv[1], "service") == 0) {
        ForEachTestDevice(WALK_SERVICE, &failed);
        return failed ? 1 : 0;
    }
    fprintf(stderr, "usage: setupdi_devices add COUNT HARDWARE-ID... | remove | count | service\n");
    return 2;
}
