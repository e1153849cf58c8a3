package com.kestro.runtime.internal;

import java.io.File;
import java.io.IOException;

/**
 * Keeps the launcher's temporary directory when the application asks for it. The library
 * removes nothing there: the directory's files may be in use until the process ends (the
 * class path's archives, or files of the application's own shutdown hooks), and a later
 * start of a launcher removes the directories of ended launchers. It leaves a mark
 * ({@link #MARK}) in the directory, which makes those starts leave it alone, when
 * "kestro.keepTempDir" is "true" at the start of the application or when the VM ends.
 */
final class TempDirKeep extends Thread {
    /** The name of the mark in the directory; the launcher looks for the same name. */
    static final String MARK = "kst_keep";

    private static boolean scheduled;

    private final File dir;

    private TempDirKeep(File dir) {
        super("kestro temporary directory keep");
        this.dir = dir;
    }

    /**
     * Marks the directory in "kestro.tempDir" now when "kestro.keepTempDir" is "true", or
     * else arranges (once per VM) to look again when the VM ends, when it names one of the
     * launcher's temporary directories (see {@link #hasLauncherName}).
     */
    static synchronized void scheduleFromProperties() {
        String value = System.getProperty(LauncherProperties.TEMP_DIR);
        File dir = value == null || value.isEmpty() ? null : new File(value);
        if (dir == null || !hasLauncherName(dir.getName()) || !dir.isDirectory() || scheduled) {
            return;
        }
        scheduled = true;
        TempDirKeep keep = new TempDirKeep(dir);
        if (!keep.markIfAsked()) {
            Runtime.getRuntime().addShutdownHook(keep);
        }
    }

    /**
     * Whether {@code name} has the form of the launcher's directories, "kst", anything,
     * "_dir" and at least one digit to the end, in any letter case. No other directory is
     * marked: a property set by mistake must not leave a file in the user's own.
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

    /** Leaves the mark when the application asks to keep the directory; true when it did. */
    boolean markIfAsked() {
        if (!Boolean.parseBoolean(System.getProperty(LauncherProperties.KEEP_TEMP_DIR))) {
            return false;
        }
        try {
            new File(dir, MARK).createNewFile();
        } catch (IOException e) {
            System.err.println("Cannot keep the temporary directory " + dir + ": " + e.getMessage());
        }
        return true;
    }

    @Override
    public void run() {
        markIfAsked();
    }
}
