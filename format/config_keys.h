// Numbers of the configuration entries. Integer settings are stored as decimal text.
#pragma once

#include "format/block_format.h"

namespace kestro::key {

using format::ConfigKey;

inline constexpr ConfigKey RedirectStderr = 102;
inline constexpr ConfigKey StderrFile = 103;
inline constexpr ConfigKey RedirectStdout = 104;
inline constexpr ConfigKey StdoutFile = 105;
inline constexpr ConfigKey LauncherFlag = 106;
inline constexpr ConfigKey ApplicationType = 107;
inline constexpr ConfigKey SplashScreen = 108;
inline constexpr ConfigKey ClassPath = 121;
inline constexpr ConfigKey MainClass = 122;
inline constexpr ConfigKey VmOptions = 123;
inline constexpr ConfigKey ProgramArguments = 124;
inline constexpr ConfigKey JavaOptionArguments = 125;
inline constexpr ConfigKey MinVersion = 126;
inline constexpr ConfigKey MaxVersion = 127;
inline constexpr ConfigKey SearchList = 128;
inline constexpr ConfigKey AllowPrerelease = 130;
inline constexpr ConfigKey RequireJdk = 131;
inline constexpr ConfigKey WorkingDirectory = 146;
inline constexpr ConfigKey PreferredVm = 152;
inline constexpr ConfigKey QuietSwitches = 154;
inline constexpr ConfigKey ConsoleSwitch = 156;
inline constexpr ConfigKey GlobalInstance = 158;
inline constexpr ConfigKey InstallationsValue = 160;
inline constexpr ConfigKey Flavour = 2001;
inline constexpr ConfigKey IncludedCount = 2002;
inline constexpr ConfigKey IncludedNames = 2003;
inline constexpr ConfigKey ApplicationDirectory = 10003;
inline constexpr ConfigKey NativeLibraryPath = 10004;
inline constexpr ConfigKey SingleInstance = 10005;
// Integer: non-zero lists the runtimes passed over after message 1016.
inline constexpr ConfigKey ListPassedOver = 10006;
inline constexpr ConfigKey RuntimeSplash = 10123;
// Integers 1 to 100: -Xmx and -Xms as that share of the physical memory, in megabytes.
inline constexpr ConfigKey MaxHeapPercent = 10200;
inline constexpr ConfigKey InitialHeapPercent = 10201;
// Integer: the megabytes that neither computed heap size exceeds; 0 for no bound.
inline constexpr ConfigKey MaxHeapLimitMb = 10202;
// Text: "NAME=value" lines, set in the launcher's process before the VM starts.
inline constexpr ConfigKey Environment = 10203;
// Text: a page to download Java from, offered with message 1016.
inline constexpr ConfigKey DownloadUrl = 10204;
// Text: ";"-separated exit codes on which the launcher starts itself again.
inline constexpr ConfigKey RestartExitCodes = 10206;
// Text: the main module, "module" or "module/class"; with it the application starts as
// a named module.
inline constexpr ConfigKey MainModule = 10207;
// Text: ";"-separated archives and directories of the module path.
inline constexpr ConfigKey ModulePath = 10208;

// Application types of key 107.
inline constexpr int TypeGui = 1;

}  // namespace kestro::key

namespace kestro::msg {

using MessageId = format::ConfigKey;

inline constexpr MessageId Caption = 1000;
inline constexpr MessageId JvmStartFailed = 1005;
inline constexpr MessageId ClassPathEntryMissing = 1006;
inline constexpr MessageId VariableUndefined = 1008;
inline constexpr MessageId InternalError = 1009;
inline constexpr MessageId MainClassMissing = 1010;
inline constexpr MessageId MainMethodMissing = 1011;
inline constexpr MessageId NoTempDirectory = 1015;
inline constexpr MessageId NoJvmFound = 1016;
inline constexpr MessageId BadJavaHomeVariable = 1018;
inline constexpr MessageId DamagedJvm = 1020;
// The application's main ended with an exception; {0} is its class and message.
inline constexpr MessageId ApplicationError = 1021;

// The question after message 1016 whether to open the download page, "{0}" its address.
inline constexpr MessageId OpenDownloadUrl = 10205;

inline constexpr MessageId First = 1000;
inline constexpr MessageId Last = 1021;

}  // namespace kestro::msg
