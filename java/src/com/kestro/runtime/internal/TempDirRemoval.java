package com.kestro.runtime.internal;

import java.io.File;

/**
 * Removes the launcher's temporary directory when the VM ends. The launcher leaves it in
 * place after a normal end because the application was told its path; the application
 * keeps it by setting "kestro.keepTempDir" to "true", at start or at any time before the
 * VM ends.
 */
final class TempDirRemoval extends Thread {
    private static boolean scheduled;

    private final File dir;

    private TempDirRemoval(File dir) {
        super("kestro temporary directory removal");
        this.dir = dir;
    }

    /**
     * Registers the removal of the directory in "kestro.tempDir", once per VM, when it
     * names one of the launcher's temporary directories (see {@link #launcherTempDir}).
     * The value is taken now: changing the property later does not redirect the removal.
     */
    static synchronized void scheduleFromProperties() {
        File dir = launcherTempDir(System.getProperty(LauncherProperties.TEMP_DIR), FileLinks.SYSTEM);
        if (dir != null && !scheduled) {
            scheduled = true;
            Runtime.getRuntime().addShutdownHook(new TempDirRemoval(dir));
        }
    }

    /**
     * The directory named by {@code value} when it is a directory that is certainly not a
     * link and whose name has the launcher's form (see {@link #hasLauncherName}); null
     * otherwise, also where the runtime cannot tell a link from a directory.
     */
    static File launcherTempDir(String value, FileLinks links) {
        if (value == null || value.isEmpty()) {
            return null;
        }
        File dir = new File(value);
        return hasLauncherName(dir.getName()) && links.kindOf(dir) == FileLinks.Kind.DIRECTORY ? dir : null;
    }

    /**
     * Whether {@code name} has the form of the launcher's directories, "kst", anything,
     * "_dir" and at least one digit to the end, in any letter case. Anything else is not
     * removed: a property set by mistake must not cost the user a directory.
     */
    static boolean hasLauncherName(String name) {
        int dir = name.length() - 1;
        while (dir >= 0 && isDigit(name.charAt(dir))) {
            dir--;
        }
        dir -= 3;  // the "_dir" before the digits, if it is there
        return dir >= 3 && dir + 4 < name.length() && name.regionMatches(true, 0, "kst", 0, 3)
                && name.regionMatches(true, dir, "_dir", 0, 4);
    }

    private static boolean isDigit(char c) {
        return c >= '0' && c <= '9';
    }

    @Override
    public void run() {
        if (!Boolean.parseBoolean(System.getProperty(LauncherProperties.KEEP_TEMP_DIR))) {
            TreeRemoval.remove(dir);
        }
    }
}
