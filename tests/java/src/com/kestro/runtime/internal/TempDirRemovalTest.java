package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

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
    void onlyARealDirectoryOfTheLaunchersNamingIsRemoved() throws Exception {
        Path mine = Files.createDirectories(root.resolve("my data"));
        assertNull(TempDirRemoval.launcherTempDir(mine.toString()));
        assertNull(TempDirRemoval.launcherTempDir(""));
        assertNull(TempDirRemoval.launcherTempDir(Files.writeString(root.resolve("kst1_dir2"), "").toString()));
        Path real = launcherTempDir();
        assertEquals(real, TempDirRemoval.launcherTempDir(real.toString()));
        assertNull(TempDirRemoval.launcherTempDir(Files.createSymbolicLink(root.resolve("kst3_dir4"), real).toString()));
    }

    @Test
    void linksInsideAreRemovedButNotFollowed() throws Exception {
        Path outsideFile = Files.writeString(Files.createDirectories(root.resolve("outside")).resolve("f"), "keep");
        Path dir = launcherTempDir();
        Files.createSymbolicLink(dir.resolve("lib/to-dir"), outsideFile.getParent());
        Files.createSymbolicLink(dir.resolve("to-file"), outsideFile);

        assertTrue(TreeRemoval.remove(dir));
        assertTrue(Files.notExists(dir));
        assertEquals("keep", Files.readString(outsideFile));
    }
}
