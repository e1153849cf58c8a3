package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertEquals;
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
        Object[][] cases = {
            {new File[] {missing, empty, other, jar}, jar},
            {new File[] {classesDir, jar}, classesDir},
            {new File[] {other}, null},
        };
        for (Object[] c : cases) {
            StringBuilder classPath = new StringBuilder();
            for (File entry : (File[]) c[0]) {
                classPath.append(classPath.length() == 0 ? "" : File.pathSeparator).append(entry);
            }
            assertEquals(c[1], FirstRunMarker.classPathEntryOf(com.velmora.runtime.launcher.FirstRun.class,
                    classPath.toString()), classPath.toString());
        }
    }

    @Test
    void theFirstStartRemovesTheMarkerAndTellsTheApplication() throws Exception {
        // The velmora layout: the runtime jar in the application's .velmora directory, the
        // executable elsewhere.
        Path velmora = Files.createDirectories(root.resolve(".velmora"));
        Path jar = Files.copy(JavaChild.VELMORA_JAR, velmora.resolve("vlmruntime.jar"));
        Path marker = Files.createDirectories(velmora.resolve("firstrun/sub"));
        JavaChild child = new JavaChild(jar, JavaChild.TEST_JAR).property("kestro.moduleName", root.resolve("bin/app.exe"));
        String probe = "com.kestro.runtime.testapps.Apps$FirstRunProbe";

        assertEquals("true true", child.run(probe).out());
        assertTrue(Files.notExists(marker.getParent()));
        assertEquals("true null", child.run(probe).out());
    }
}
