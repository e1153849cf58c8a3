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

class FirstRunTest {
    @TempDir
    Path root;

    @Test
    void theApplicationDirectoryComesFromTheRuntimeJarElseTheExecutable() {
        File app = new File("/opt/app");
        String exe = new File(app, "bin/app.exe").getPath();
        assertEquals(app, FirstRunMarker.applicationDirectory(new File(app, ".Velmora/vlmruntime.jar"), exe));
        assertEquals(new File(app, "bin"),
                FirstRunMarker.applicationDirectory(new File(app, "lib/vlmruntime.jar"), exe));
        assertNull(FirstRunMarker.applicationDirectory(null, ""));
    }

    // The entry the class path's loader takes the class from: the first that holds it.
    @Test
    void theRuntimeJarIsTheFirstClassPathEntryHoldingTheClass() throws Exception {
        Path classFile = root.resolve("classes/com/velmora/runtime/launcher/FirstRun.class");
        Files.createFile(Files.createDirectories(classFile.getParent()).resolve(classFile.getFileName()));
        File classesDir = root.resolve("classes").toFile();
        File jar = JavaChild.VELMORA_JAR.toFile();
        File other = JavaChild.TEST_JAR.toFile();
        File missing = root.resolve("missing.jar").toFile();
        File empty = Files.createDirectories(root.resolve("empty")).toFile();
        String s = File.pathSeparator;
        Object[][] cases = {
            {missing + s + empty + s + other + s + jar, jar},
            {classesDir + s + jar, classesDir},
            {other.getPath(), null},
        };
        for (Object[] c : cases) {
            assertEquals(c[1], FirstRunMarker.classPathEntryOf(com.velmora.runtime.launcher.FirstRun.class,
                    (String) c[0]), (String) c[0]);
        }
    }

    // The marker's removal: a link inside is removed, never followed.
    @Test
    void linksInsideAreRemovedButNotFollowed() throws Exception {
        Path outsideFile = Files.writeString(Files.createDirectories(root.resolve("outside")).resolve("f"), "keep");
        Path dir = Files.createDirectories(root.resolve("marker/lib")).getParent();
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
        Path full = Files.createDirectories(root.resolve("full/lib")).getParent();
        Files.writeString(full.resolve("lib/app.jar"), "jar");

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
