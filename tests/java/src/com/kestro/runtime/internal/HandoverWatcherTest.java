package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.InstanceHandover;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardOpenOption;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.BlockingQueue;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.LinkedBlockingQueue;
import java.util.concurrent.TimeUnit;
import java.util.function.BooleanSupplier;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class HandoverWatcherTest {
    @TempDir
    Path root;
    private final PrintStream err = System.err;
    private final ByteArrayOutputStream logged = new ByteArrayOutputStream();

    @BeforeEach
    void captureErr() { System.setErr(new PrintStream(logged, true, StandardCharsets.UTF_8)); }

    @AfterEach
    void restoreErr() { System.setErr(err); }

    private Path file() { return root.resolve("kst_p42.tmp"); }

    private HandoverWatcher watcher(long incompleteLimitMillis) {
        return new HandoverWatcher(file().toFile(), 5, incompleteLimitMillis, 100);
    }

    private static void append(Path file, byte[] bytes) throws Exception {
        Files.write(file, bytes, StandardOpenOption.CREATE, StandardOpenOption.APPEND);
    }

    private static void await(String what, BooleanSupplier done) throws Exception {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(30);
        while (!done.getAsBoolean()) {
            assertTrue(System.nanoTime() - deadline < 0, "not within 30 s: " + what);
            Thread.sleep(2);
        }
    }

    // Unit for unit, as the launcher writes its command line (a lone surrogate included).
    private static byte[] utf16le(String text) {
        ByteBuffer bytes = ByteBuffer.allocate(2 * text.length()).order(ByteOrder.LITTLE_ENDIAN);
        bytes.asCharBuffer().put(text);
        return bytes.array();
    }

    /** As a later start hands over: waits for the previous file to go, creates, writes, closes. */
    private void handOver(String argumentText) throws Exception {
        await("the hand-over file taken", () -> Files.notExists(file()));
        Files.write(file(), utf16le(argumentText + "\n"), StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE);
    }

    @Test
    void takesTheWholeLineUnitForUnitThenDeletesTheFile() throws Exception {
        HandoverWatcher w = watcher(60_000);
        assertNull(w.take());
        handOver("-x \"a b\" '\u03a9mega \u65e5\u672c' \ud83d\ude00 \"\" \ud800");
        assertArrayEquals(new String[] {"-x", "a b", "\u03a9mega \u65e5\u672c", "\ud83d\ude00", "", "\ud800"},
                w.take());
        assertTrue(Files.notExists(file()));
        assertNull(w.take());

        handOver("");  // a start without arguments
        assertArrayEquals(new String[0], w.take());
        assertTrue(Files.notExists(file()));

        handOver("a\nb c");  // a command line may hold a line feed: only the last one ends it
        assertArrayEquals(new String[] {"a\nb", "c"}, w.take());
    }

    // A file cut short may end in the middle of a path: it is never delivered. Nor is one
    // too long to be a launcher's, which is never read whole.
    @Test
    void waitsForTheLineEndAndRemovesAFileWithoutOneUnread() throws Exception {
        HandoverWatcher w = watcher(60_000);
        append(file(), utf16le("a b"));
        append(file(), new byte[] {'\n'});  // half a unit
        assertNull(w.take());
        assertNull(w.take());
        assertTrue(Files.exists(file()));
        append(file(), new byte[] {0});
        assertArrayEquals(new String[] {"a", "b"}, w.take());

        HandoverWatcher hasty = watcher(200);
        for (byte[] content : List.of(utf16le("x 'C:\\Users\\me\\Docu"), new byte[0],
                utf16le("y".repeat(HandoverWatcher.MAX_FILE_BYTES / 2) + "\n"))) {
            append(file(), content);
            long since = System.nanoTime();
            while (Files.exists(file())) {
                assertNull(hasty.take());
                Thread.sleep(2);
            }
            assertTrue(content.length > HandoverWatcher.MAX_FILE_BYTES
                    || System.nanoTime() - since >= TimeUnit.MILLISECONDS.toNanos(200));
        }
        String line = "kestro: the instance hand-over file " + file();
        String cut = line + " had no line end after 200 ms; it is removed unread";
        assertEquals(List.of(cut, cut, line + " is longer than 65536 bytes; it is removed unread"),
                logged.toString(StandardCharsets.UTF_8).lines().toList());
    }

    // A listener that throws, and one that is slow: the files are all taken while the slow
    // one still holds the first list, and every list reaches the others once, in order.
    @Test
    void deliversEveryListOnceInArrivalOrderWhateverTheListenersDo() throws Exception {
        HandoverWatcher w = watcher(60_000);
        BlockingQueue<String> received = new LinkedBlockingQueue<>();
        CountDownLatch release = new CountDownLatch(1);
        List<Thread> deliveredOn = new ArrayList<>();
        w.addListener(args -> {
            throw new IllegalStateException("listener failure");
        });
        w.addListener(args -> {
            try {
                release.await();
            } catch (InterruptedException e) {
                throw new IllegalStateException(e);
            }
        });
        w.addListener(args -> {
            deliveredOn.add(Thread.currentThread());
            received.add(String.join("|", args));
            args[0] = "changed";  // each listener gets its own array
        });
        w.addListener(args -> received.add("also " + args[0]));
        List<String> expected = new ArrayList<>();
        for (int i = 0; i < 20; i++) {
            handOver("start" + i + " \"with space " + i + "\" \u00e9\u00e8" + i);
            expected.add("start" + i + "|with space " + i + "|\u00e9\u00e8" + i);
            expected.add("also start" + i);
        }
        await("the hand-over file taken", () -> Files.notExists(file()));
        assertTrue(received.isEmpty());
        release.countDown();
        List<String> got = new ArrayList<>();
        while (got.size() < expected.size()) {
            String next = received.poll(30, TimeUnit.SECONDS);
            assertTrue(next != null, "only " + got);
            got.add(next);
        }
        assertEquals(expected, got);
        Thread.sleep(100);
        assertTrue(received.isEmpty(), received.toString());
        assertTrue(deliveredOn.get(0).isDaemon());
        assertTrue(deliveredOn.get(0) != Thread.currentThread());
        String log = logged.toString(StandardCharsets.UTF_8);
        assertEquals(20, log.split("an instance hand-over listener failed", -1).length - 1, log);
        assertTrue(log.contains("IllegalStateException: listener failure"), log);
    }

    // Started with the VM, the watcher takes every file at once, so that later starts end
    // while the application has no listener yet; it keeps the latest lists for the first.
    @Test
    void listsThatArriveWithoutAListenerWaitForTheFirstOne() throws Exception {
        HandoverWatcher w = new HandoverWatcher(file().toFile(), 5, 60_000, 2);
        w.start();
        for (String arguments : List.of("one", "two 'three four'", "five")) {
            handOver(arguments);
        }
        await("the hand-over file taken", () -> Files.notExists(file()));
        await("a list dropped", () -> logged.size() > 0);  // "five" is kept just after its file has gone
        BlockingQueue<String[]> received = new LinkedBlockingQueue<>();
        w.addListener(received::add);
        assertArrayEquals(new String[] {"two", "three four"}, received.poll(30, TimeUnit.SECONDS));
        assertArrayEquals(new String[] {"five"}, received.poll(30, TimeUnit.SECONDS));
        assertNull(received.poll(100, TimeUnit.MILLISECONDS));
        assertEquals("kestro: 2 argument lists of later starts wait for an instance hand-over listener; the oldest is"
                + " dropped\n", logged.toString(StandardCharsets.UTF_8).replace("\r", ""));
    }

    // The public API in a VM of its own, as a plain java command starts it: without the
    // launcher's property nothing is watched.
    @Test
    void outsideSingleInstanceModeNothingIsWatched() throws Exception {
        Path stop = Files.createFile(root.resolve("stop"));
        JavaChild.Result plain = JavaChild.kestro().property("handover.record", root.resolve("record.txt"))
                .property("handover.ready", root.resolve("ready")).property("handover.stop", stop)
                .launch("com.kestro.runtime.testapps.Apps$HandoverRecorder");
        assertEquals(0, plain.exitCode(), plain.err());
        assertEquals("available: false\nhand-over threads: 0\n", plain.out());
    }
}
