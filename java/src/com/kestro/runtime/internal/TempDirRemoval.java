package com.kestro.runtime.internal;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.attribute.BasicFileAttributes;
import java.util.concurrent.atomic.AtomicBoolean;
import java.util.regex.Pattern;

/**
 * Removes the launcher's temporary directory when the VM ends. The launcher leaves it in
 * place after a normal end because the application was told its path; the application
 * keeps it by setting "kestro.keepTempDir" to "true", at start or at any time before the
 * VM ends.
 */
final class TempDirRemoval extends Thread {
    // The launcher names its directories "<root>kst<unique part>_dir<seconds>". Anything
    // else is not removed: a property set by mistake must not cost the user a directory.
    private static final Pattern LAUNCHER_DIR_NAME = Pattern.compile("kst.*_dir[0-9]+",
            Pattern.CASE_INSENSITIVE);
    private static final AtomicBoolean scheduled = new AtomicBoolean();

    private final Path dir;

    private TempDirRemoval(Path dir) {
        super("kestro temporary directory removal");
        this.dir = dir;
    }

    /**
     * Registers the removal of the directory in "kestro.tempDir", once per VM, when it
     * names one of the launcher's temporary directories (see {@link #launcherTempDir}).
     * The value is taken now: changing the property later does not redirect the removal.
     */
    static void scheduleFromProperties() {
        Path dir = launcherTempDir(System.getProperty(LauncherProperties.TEMP_DIR));
        if (dir != null && scheduled.compareAndSet(false, true)) {
            Runtime.getRuntime().addShutdownHook(new TempDirRemoval(dir));
        }
    }

    /**
     * The directory named by {@code value} when it is a real directory (not a link) whose
     * name has the launcher's form "kst..._dir" followed by digits; null otherwise.
     */
    static Path launcherTempDir(String value) {
        if (value == null || value.isEmpty()) {
            return null;
        }
        try {
            Path dir = Paths.get(value);
            Path name = dir.getFileName();
            if (name == null || !LAUNCHER_DIR_NAME.matcher(name.toString()).matches()) {
                return null;
            }
            BasicFileAttributes attrs = Files.readAttributes(dir, BasicFileAttributes.class,
                    LinkOption.NOFOLLOW_LINKS);
            return TreeRemoval.isRealDirectory(attrs) ? dir : null;
        } catch (InvalidPathException | IOException e) {
            return null;
        }
    }

    @Override
    public void run() {
        if (!Boolean.parseBoolean(System.getProperty(LauncherProperties.KEEP_TEMP_DIR))) {
            TreeRemoval.remove(dir);
        }
    }
}
