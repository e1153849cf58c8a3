package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.testapps.TempDirUser;
import java.nio.file.Files;
import java.nio.file.Path;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class TempDirRemovalTest {
    private static final String APP = TempDirUser.class.getName();

    @TempDir
    Path root;

    /** A directory named as the launcher names them, with a little inside. */
    private Path launcherTempDir() throws Exception {
        Path dir = root.resolve("kst1A2B.tmp_dir1700000000");
        Files.createDirectories(dir.resolve("lib/native"));
        Files.writeString(dir.resolve("app.jar"), "jar");
        Files.writeString(dir.resolve("lib/native/x.dll"), "dll");
        return dir;
    }

    private static JavaChild.Result run(Path tempDir, String how, String... properties) throws Exception {
        JavaChild child = JavaChild.kestro().property("kestro.tempDir", tempDir.toString());
        for (String p : properties) {
            child.property(p.substring(0, p.indexOf('=')), p.substring(p.indexOf('=') + 1));
        }
        return child.launch(APP, how);
    }

    @Test
    void removedWhenTheVmEndsNormallyOrThroughExit() throws Exception {
        Path dir = launcherTempDir();
        assertEquals(0, run(dir, "return").exitCode());
        assertTrue(Files.notExists(dir));
        assertTrue(Files.exists(root), "only the directory itself goes");

        dir = launcherTempDir();
        assertEquals(3, run(dir, "exit").exitCode());
        assertTrue(Files.notExists(dir));
    }

    @Test
    void keptWhenTheApplicationAsksAtStartOrAtRunTime() throws Exception {
        Path dir = launcherTempDir();
        assertEquals(0, run(dir, "return", "kestro.keepTempDir=true").exitCode());
        assertTrue(Files.exists(dir.resolve("lib/native/x.dll")));

        assertEquals(0, run(dir, "keep").exitCode());
        assertTrue(Files.exists(dir.resolve("lib/native/x.dll")));
    }

    @Test
    void onlyADirectoryOfTheLaunchersOwnNameIsRemoved() throws Exception {
        Path mine = root.resolve("my data");
        Files.createDirectories(mine);
        Files.writeString(mine.resolve("precious.txt"), "keep me");
        assertEquals(0, run(mine, "return").exitCode());
        assertTrue(Files.exists(mine.resolve("precious.txt")));

        assertNull(TempDirRemoval.launcherTempDir(""));
        assertNull(TempDirRemoval.launcherTempDir(null));
        assertNull(TempDirRemoval.launcherTempDir(root.resolve("kst12_dir9").toString()), "missing");
        Path file = Files.writeString(root.resolve("kst12_dir9"), "a file");
        assertNull(TempDirRemoval.launcherTempDir(file.toString()));
        Path real = launcherTempDir();
        assertEquals(real, TempDirRemoval.launcherTempDir(real.toString()));
        Path link = Files.createSymbolicLink(root.resolve("kst1A2B.tmp_dir1"), real);
        assertNull(TempDirRemoval.launcherTempDir(link.toString()), "a link to a directory");
    }

    @Test
    void linksInsideAreRemovedButNotFollowed() throws Exception {
        Path outside = Files.createDirectories(root.resolve("outside"));
        Path outsideFile = Files.writeString(outside.resolve("file.txt"), "keep me");
        Path dir = launcherTempDir();
        Files.createSymbolicLink(dir.resolve("lib/to-dir"), outside);
        Files.createSymbolicLink(dir.resolve("to-file"), outsideFile);
        Files.createSymbolicLink(dir.resolve("dangling"), root.resolve("nothing"));

        assertTrue(TreeRemoval.remove(dir));
        assertTrue(Files.notExists(dir));
        assertEquals("keep me", Files.readString(outsideFile));
    }
}
