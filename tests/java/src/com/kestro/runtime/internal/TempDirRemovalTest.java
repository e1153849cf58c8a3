package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class TempDirRemovalTest {
    @TempDir
    Path root;

    /** A directory named as the launcher names them, with something inside. */
    private Path launcherTempDir() throws Exception {
        Path dir = Files.createDirectories(root.resolve("kst1A2B.tmp_dir1700000000/lib"));
        Files.writeString(dir.resolve("app.jar"), "jar");
        return dir.getParent();
    }

    private static int run(Path tempDir, String how, String keep) throws Exception {
        return JavaChild.kestro().property("kestro.tempDir", tempDir).property("kestro.keepTempDir", keep)
                .launch("com.kestro.runtime.testapps.Apps$TempDirUser", how).exitCode();
    }

    @Test
    void removedWhenTheVmEndsUnlessTheApplicationAsksToKeepIt() throws Exception {
        Path dir = launcherTempDir();
        assertEquals(0, run(dir, "return", ""));
        assertTrue(Files.notExists(dir));
        assertTrue(Files.exists(root));

        assertEquals(3, run(launcherTempDir(), "exit", ""));
        assertTrue(Files.notExists(dir));

        assertEquals(0, run(launcherTempDir(), "return", "true"));
        assertTrue(Files.exists(dir.resolve("lib/app.jar")));
        assertEquals(0, run(dir, "keep", ""));
        assertTrue(Files.exists(dir.resolve("lib/app.jar")));
    }

    @Test
    void theLaunchersNamesAreKnownInAnyCase() {
        String[] launchers = {"kst1A2B.tmp_dir1700000000", "KST_DIR1", "kstx_dir_dir9", "Kst.tmp_Dir0"};
        String[] others = {"kst1A2B.tmp_dir", "kst_dir12x", "ks_dir1", "xkst_dir1", "kstdir1", "kst1_dir1 ", "", "kst"};
        for (String name : launchers) {
            assertTrue(TempDirRemoval.hasLauncherName(name), name);
        }
        for (String name : others) {
            assertFalse(TempDirRemoval.hasLauncherName(name), name);
        }
    }

    @Test
    void onlyARealDirectoryOfTheLaunchersNamingIsRemoved() throws Exception {
        Path mine = Files.createDirectories(root.resolve("my data"));
        assertNull(TempDirRemoval.launcherTempDir(mine.toString(), FileLinks.SYSTEM));
        assertNull(TempDirRemoval.launcherTempDir("", FileLinks.SYSTEM));
        assertNull(TempDirRemoval.launcherTempDir(Files.writeString(root.resolve("kst1_dir2"), "").toString(),
                FileLinks.SYSTEM));
        Path real = launcherTempDir();
        assertEquals(real.toFile(), TempDirRemoval.launcherTempDir(real.toString(), FileLinks.SYSTEM));
        Path link = Files.createSymbolicLink(root.resolve("kst3_dir4"), real);
        assertNull(TempDirRemoval.launcherTempDir(link.toString(), FileLinks.SYSTEM));
        // A runtime that cannot tell the two apart removes neither.
        assertNull(TempDirRemoval.launcherTempDir(real.toString(), FileLinks.WITHOUT_NIO));
    }

    @Test
    void linksInsideAreRemovedButNotFollowed() throws Exception {
        Path outsideFile = Files.writeString(Files.createDirectories(root.resolve("outside")).resolve("f"), "keep");
        Path dir = launcherTempDir();
        Files.createSymbolicLink(dir.resolve("lib/to-dir"), outsideFile.getParent());
        Files.createSymbolicLink(dir.resolve("to-file"), outsideFile);

        assertTrue(TreeRemoval.remove(dir.toFile()));
        assertTrue(Files.notExists(dir));
        assertEquals("keep", Files.readString(outsideFile));
    }

    // Where no directory can be told from a link, only files, links and empty directories
    // go: nothing is ever listed, so nothing behind a link can be reached.
    @Test
    void withoutLinkDetectionOnlyWhatNeedsNoDescentIsRemoved() throws Exception {
        Path outsideFile = Files.writeString(Files.createDirectories(root.resolve("outside")).resolve("f"), "keep");
        Path linkToDir = Files.createSymbolicLink(root.resolve("to-dir"), outsideFile.getParent());
        Path file = Files.writeString(root.resolve("marker"), "");
        Path empty = Files.createDirectories(root.resolve("empty"));
        Path full = launcherTempDir();

        for (Path gone : new Path[] {linkToDir, file, empty}) {
            assertTrue(TreeRemoval.remove(gone.toFile(), FileLinks.WITHOUT_NIO), gone.toString());
            assertTrue(Files.notExists(gone, java.nio.file.LinkOption.NOFOLLOW_LINKS), gone.toString());
        }
        assertFalse(TreeRemoval.remove(full.toFile(), FileLinks.WITHOUT_NIO));
        assertTrue(Files.exists(full.resolve("lib/app.jar")));
        assertEquals("keep", Files.readString(outsideFile));
        assertTrue(TreeRemoval.remove(new File(root.toFile(), "absent"), FileLinks.WITHOUT_NIO));
    }
}
