package com.kestro.runtime.internal;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.kestro.runtime.InstanceHandover;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
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
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

class HandoverWatcherTest {
    @TempDir
    Path root;

    private Path file() {
        return root.resolve("kst_p42.tmp");
    }

    private HandoverWatcher watcher(long incompleteLimitMillis) {
        return new HandoverWatcher(file().toFile(), 5, incompleteLimitMillis);
    }

    private static void append(Path file, byte[] bytes) throws Exception {
        Files.write(file, bytes, StandardOpenOption.CREATE, StandardOpenOption.APPEND);
    }

    private static void awaitGone(Path file) throws Exception {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(30);
        while (Files.exists(file)) {
            assertTrue(System.nanoTime() - deadline < 0, "the hand-over file was not taken: " + file);
            Thread.sleep(2);
        }
    }

    // Unit for unit, as the launcher writes its command line (a lone surrogate included).
    private static byte[] utf16le(String text) {
        byte[] bytes = new byte[2 * text.length()];
        for (int i = 0; i < text.length(); i++) {
            bytes[2 * i] = (byte) text.charAt(i);
            bytes[2 * i + 1] = (byte) (text.charAt(i) >> 8);
        }
        return bytes;
    }

    /** As a later start hands over: waits for the previous file to go, creates, writes, closes. */
    private void handOver(String argumentText) throws Exception {
        awaitGone(file());
        Files.write(file(), utf16le(argumentText + "\n"), StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE);
    }

    /** take() until it returns something, within a generous bound. */
    private static String[] takeWhole(HandoverWatcher w) throws Exception {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(30);
        for (String[] taken = w.take();; taken = w.take()) {
            if (taken != null) {
                return taken;
            }
            assertTrue(System.nanoTime() - deadline < 0, "nothing taken");
            Thread.sleep(2);
        }
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

    @Test
    void waitsForTheLineEndThenTakesAFileThatStaysIncompleteAsItIs() throws Exception {
        HandoverWatcher w = watcher(60_000);
        append(file(), utf16le("a b"));
        append(file(), new byte[] {'\n'});  // half a unit
        assertNull(w.take());
        assertNull(w.take());
        assertTrue(Files.exists(file()));
        append(file(), new byte[] {0});
        assertArrayEquals(new String[] {"a", "b"}, w.take());

        PrintStream err = System.err;
        ByteArrayOutputStream logged = new ByteArrayOutputStream();
        System.setErr(new PrintStream(logged, true, StandardCharsets.UTF_8));
        try {
            HandoverWatcher hasty = watcher(200);
            append(file(), utf16le("x \"y z"));
            long since = System.nanoTime();
            assertArrayEquals(new String[] {"x", "y z"}, takeWhole(hasty));
            assertTrue(System.nanoTime() - since >= TimeUnit.MILLISECONDS.toNanos(200));
            assertTrue(Files.notExists(file()));

            // A start that died before writing leaves an empty file: removed, nothing delivered.
            append(file(), new byte[0]);
            while (Files.exists(file())) {
                assertNull(hasty.take());
                Thread.sleep(2);
            }
        } finally {
            System.setErr(err);
        }
        assertTrue(logged.toString(StandardCharsets.UTF_8).contains("had no line end after 200 ms"), logged.toString());
    }

    // A listener that throws, and one that is slow: the files are all taken while the slow
    // one still holds the first list, and every list reaches the others once, in order.
    @Test
    void deliversEveryListOnceInArrivalOrderWhateverTheListenersDo() throws Exception {
        HandoverWatcher w = watcher(60_000);
        BlockingQueue<String> received = new LinkedBlockingQueue<>();
        CountDownLatch release = new CountDownLatch(1);
        List<Thread> deliveredOn = new ArrayList<>();
        PrintStream err = System.err;
        ByteArrayOutputStream logged = new ByteArrayOutputStream();
        System.setErr(new PrintStream(logged, true, StandardCharsets.UTF_8));
        try {
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
            awaitGone(file());
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
        } finally {
            System.setErr(err);
        }
        assertTrue(deliveredOn.get(0).isDaemon());
        assertTrue(deliveredOn.get(0) != Thread.currentThread());
        String log = logged.toString(StandardCharsets.UTF_8);
        assertEquals(20, log.split("an instance hand-over listener failed", -1).length - 1, log);
        assertTrue(log.contains("IllegalStateException: listener failure"), log);
    }

    @Test
    void listsThatArriveWithoutAListenerWaitForTheNextOne() throws Exception {
        HandoverWatcher w = watcher(60_000);
        BlockingQueue<String[]> first = new LinkedBlockingQueue<>();
        BlockingQueue<String[]> second = new LinkedBlockingQueue<>();
        InstanceHandover.Listener gone = first::add;
        w.addListener(gone);
        w.removeListener(gone);
        handOver("one 'two three'");
        awaitGone(file());
        handOver("four");
        awaitGone(file());
        w.addListener(second::add);
        assertArrayEquals(new String[] {"one", "two three"}, second.poll(30, TimeUnit.SECONDS));
        assertArrayEquals(new String[] {"four"}, second.poll(30, TimeUnit.SECONDS));
        assertTrue(first.isEmpty());
    }

    // The public API in VMs of their own, as the launcher starts them: nothing happens
    // without the property; with it, the VM still ends when main returns.
    @Test
    void anApplicationReceivesHandOversOnlyInSingleInstanceMode() throws Exception {
        Path record = root.resolve("record.txt");
        Path ready = root.resolve("ready");
        Path stop = Files.createFile(root.resolve("stop"));
        JavaChild.Result plain = JavaChild.kestro().property("handover.record", record)
                .property("handover.ready", ready).property("handover.stop", stop)
                .launch("com.kestro.runtime.testapps.Apps$HandoverRecorder");
        assertEquals(0, plain.exitCode(), plain.err());
        assertEquals("available: false\nhand-over threads: 0\n", plain.out());

        Files.delete(stop);
        Files.delete(ready);
        Process single = JavaChild.kestro().property("kestro.processCommFile", file())
                .property("handover.record", record).property("handover.ready", ready)
                .property("handover.stop", stop).start("com.kestro.runtime.testapps.Apps$HandoverRecorder");
        try {
            long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(60);
            while (Files.notExists(ready)) {
                assertTrue(System.nanoTime() - deadline < 0 && single.isAlive(), "the application did not start");
                Thread.sleep(5);
            }
            handOver("a \"b c\"");
            handOver("");
            awaitGone(file());
            while (Files.notExists(record) || Files.readAllLines(record).size() < 2) {
                assertTrue(System.nanoTime() - deadline < 0, "not recorded");
                Thread.sleep(5);
            }
            Files.createFile(stop);
            assertTrue(single.waitFor(60, TimeUnit.SECONDS));
            assertEquals(0, single.exitValue());
            assertEquals("available: true\nhand-over threads: 2\n",
                    new String(single.getInputStream().readAllBytes(), StandardCharsets.UTF_8));
            assertEquals(List.of("<a><b c>", ""), Files.readAllLines(record));
        } finally {
            single.destroyForcibly();
        }
    }
}
