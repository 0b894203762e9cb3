#!/usr/bin/env bash
# make_package.sh ARCH VERSION MSI DIST README ACTIONS: builds the Windows Installer
# package of ARCH (x86 or x64) from korvel-touch.wxs beside this script, with the
# shipped files of DIST, README as README.txt and ACTIONS as its custom actions.
# The UpgradeCode is fixed per architecture; the ProductCode is derived from the
# version and architecture, so that the same commit gives the same tables and each
# version is a product of its own. Then msibuild writes what wixl cannot express.
set -euo pipefail
arch=$1 version=$2 msi=$3 dist=$4 readme=$5 actions=$6
here=$(cd "$(dirname "$0")" && pwd)
case "$arch" in
x86) upgrade_code=B42DF892-5C10-434D-A100-AC281D08E3C3 ;;
x64) upgrade_code=ACCB483A-7488-4DA2-896D-C6BE57A12444 ;;
*) echo "make_package.sh: ARCH must be x86 or x64, not '$arch'" >&2; exit 2 ;;
esac
product_code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
    537BBFE5-7C54-478E-AB89-8A61452D4A42 "korvel-touch-$version-$arch")

# wixl takes the files' paths relative to its working folder.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/dist"
cp "$dist"/* "$stage/dist/"
cp "$readme" "$stage/README.txt"
cp "$actions" "$stage/KorvelMsiAction.dll"
rm -f "$msi"
(cd "$stage" && wixl -a "$arch" -o package.msi -D Version="$version" -D Arch="$arch" \
    -D ProductCode="$product_code" -D UpgradeCode="$upgrade_code" -D Dist=dist -D Readme=README.txt \
    -D ActionDll=KorvelMsiAction.dll "$here/korvel-touch.wxs")

fixes=()
# wixl leaves the File table's Version column empty, and Windows Installer then treats
# the programs as unversioned files, replaced only when unchanged since they were
# installed: the system-folder copies, which the driver package rewrites, would stay
# behind at an upgrade. Their version goes in, their file hashes (for unversioned
# files only) go out.
for file in Korvelseek.exe Korvelpad.cpl Korvelaim.exe korvelctl.exe System.Korvelpad.cpl System.Korvelaim.exe; do
    fixes+=(-q "UPDATE \`File\` SET \`Version\` = '$version' WHERE \`File\` = '$file'"
        -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$file'")
done
# Windows Installer compares only the first three fields of product versions: every
# version equal in those (1.0.0.0 to this 1.0.0.1) counts as older and is replaced, the
# maximum made inclusive; FindNewerVersion (msi_action.cpp) and a launch condition
# refuse any lower version.
# (Attributes is part of the key: the row is written anew.)
fixes+=(-q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`) VALUES ('{$upgrade_code}', '$version', 513, 'WIX_UPGRADE_DETECTED')")
# wixl places RemoveExistingProducts where its sequence has room. After InstallFinalize
# the newer version is installed first, so that the files of both stay, and the older
# one's removal sees it (DetectUpgrade in msi_action.cpp) and leaves the driver.
fixes+=(-q "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 6605 WHERE \`Action\` = 'RemoveExistingProducts'")
# The refusals, checked before anything changes: wixl knows no launch conditions
# (Condition under Product).
refuse() {
    fixes+=(-q "INSERT INTO \`LaunchCondition\` (\`Condition\`, \`Description\`) VALUES ('$1', '$2')")
}
refuse "NOT KORVEL_NEWER_VERSION" \
    "A newer version of Korvel Touchscreen ([KORVEL_NEWER_VERSION]) is already installed. Remove it first to install this one."
refuse "Installed OR VersionNT >= 500" "Korvel Touchscreen needs Windows 2000 or later."
refuse "Installed OR Privileged" \
    "Installing Korvel Touchscreen needs administrator rights. Log on as an administrator and start it again."
if [ "$arch" = x86 ]; then
    refuse "Installed OR NOT VersionNT64" \
        "This is the 32-bit package of Korvel Touchscreen: the 32-bit tools cannot install drivers on 64-bit Windows. Install korvel-touch-$version-x64.msi instead."
fi
msibuild "$stage/package.msi" "${fixes[@]}"
mv "$stage/package.msi" "$msi"
