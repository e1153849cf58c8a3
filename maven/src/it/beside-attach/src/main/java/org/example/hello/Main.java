package org.example.hello;

import com.kestro.runtime.InstanceHandover;
import org.example.greeting.Greeting;

public final class Main {
    private Main() {
    }

    public static void main(String[] args) {
        Greeting.greet(args.length > 0 ? String.join(" ", args) : "Maven user");
        System.out.println("hand-over available: " + InstanceHandover.isAvailable());
    }
}
